// LibTipWin: sizing, placing and hiding the tip window.
#include "LibTipWin.h"

#include "LibTipString.h"

LibTipWin::LibTipWin()
    : LibWindow(BRect(0, 0, 100, 13), "LibTipWin", B_BORDERED_WINDOW_LOOK,
                B_FLOATING_APP_WINDOW_FEEL,
                B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS,
                B_CURRENT_WORKSPACE),
      fText(new LibTipString(Bounds())), fPosition(0)
{
	AddChild(fText);
}

LibTipWin::~LibTipWin() {}

void LibTipWin::SetText(const char* text, const int32& width)
{
	const char* shown = text != nullptr ? text : "";
	if (width < 1) {
		fText->SetText(shown);
		ResizeTo(fText->StringWidth(shown) + 3, 13);
		return;
	}
	// The text wraps to the width first; its line count then sets the height.
	ResizeTo(float(width) + 3, 13);
	fText->SetText(shown);
	float height = float(fText->CountLines()) * fText->LineHeight(0) + 2;
	ResizeTo(float(width) + 3, height);
}

const char* LibTipWin::Text() const
{
	return fText->Text();
}

void LibTipWin::PopTo(const BPoint& where, const int32& value)
{
	fPosition = value;
	MoveTo(where);
}

void LibTipWin::Hide()
{
	SetPulseRate(0);
	LibWindow::Hide();
}

void LibTipWin::WindowActivated(bool active)
{
	LibWindow::WindowActivated(active);
	if (!active)
		Hide();
}

// LibStringView: truncation to the frame and single-level Show and Hide.
#include "LibStringView.h"

#include <string>

#include "Font.h"

LibStringView::LibStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                             uint32 flags)
    : BStringView(frame, name, text, resizingMode, flags)
{
}

LibStringView::~LibStringView() {}

void LibStringView::SetTruncatedText(const char* text, const uint32& mode)
{
	BFont font;
	GetFont(&font);
	std::string shown = font.TruncateString(text != nullptr ? text : "", mode, Frame().Width());
	SetText(shown.c_str());
}

void LibStringView::Show()
{
	if (HideLevel() > 0)
		BStringView::Show();
}

void LibStringView::Hide()
{
	if (HideLevel() == 0)
		BStringView::Hide();
}

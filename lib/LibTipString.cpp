// LibTipString: the tip window's text view.
#include "LibTipString.h"

#include "Font.h"
#include "LibColors.h"
#include "Window.h"

LibTipString::LibTipString(BRect frame)
    : BTextView(frame, "text_view", BRect(frame).OffsetToCopy(0, 0).InsetByCopy(1, 1),
                B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_PULSE_NEEDED)
{
	SetViewColor(pale_yellow_color);
	SetLowColor(pale_yellow_color);
	BFont font(be_plain_font);
	font.SetSize(10);
	SetFontAndColor(&font, B_FONT_ALL, &black_color);
	MakeEditable(false);
	MakeSelectable(false);
}

LibTipString::~LibTipString() {}

void LibTipString::Pulse()
{
	if (Window() != nullptr)
		Window()->Hide();
}

void LibTipString::FrameResized(float width, float height)
{
	BTextView::FrameResized(width, height);
	SetTextRect(Bounds().InsetByCopy(1, 1));
}

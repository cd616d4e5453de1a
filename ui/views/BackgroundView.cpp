// BackgroundView: panel colour and the rotated product line.
#include "BackgroundView.h"

#include "InterfaceDefs.h"
#include "VantryVersion.h"

const char* const BackgroundView::kProductLine = "Quorvex: Vantry v" VANTRY_VERSION_TEXT;

BackgroundView::BackgroundView(BRect frame, const float& lineInset)
    : BView(frame, "bgview", B_FOLLOW_ALL_SIDES, B_WILL_DRAW), fLineInset(lineInset)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

void BackgroundView::Draw(BRect update)
{
	BFont font;
	GetFont(&font);
	font.SetRotation(90);
	font.SetSize(10);
	SetFont(&font, B_FONT_SIZE | B_FONT_ROTATION);
	const BRect frame = Frame();
	DrawString(kProductLine, BPoint(frame.right - 1, frame.bottom - fLineInset));
	BView::Draw(update);
}

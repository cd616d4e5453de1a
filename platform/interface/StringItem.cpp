// BStringItem: a row of text, highlighted when selected.
#include "StringItem.h"

#include <cmath>

#include "Font.h"
#include "View.h"

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded), fText(text != nullptr ? text : ""), fBaselineOffset(0)
{
}

BStringItem::~BStringItem() {}

void BStringItem::SetText(const char* text)
{
	fText = text != nullptr ? text : "";
}

void BStringItem::Update(BView* owner, const BFont* font)
{
	font_height fh;
	font->GetHeight(&fh);
	SetWidth(font->StringWidth(fText.c_str()));
	SetHeight(std::ceil(fh.ascent + fh.descent + fh.leading) + 4);
	fBaselineOffset = 2 + std::ceil(fh.ascent + fh.leading / 2);
}

void BStringItem::DrawItem(BView* owner, BRect frame, bool complete)
{
	// Selected rows in the desktop's selection colours, so they stand out.
	const rgb_color background =
	        IsSelected() ? ui_color(B_LIST_SELECTED_BACKGROUND_COLOR) : owner->ViewColor();
	if (IsSelected() || complete) {
		owner->SetHighColor(background);
		owner->FillRect(frame);
	}
	owner->SetLowColor(background);
	if (!IsEnabled())
		owner->SetHighColor(tint_color(background, B_DISABLED_LABEL_TINT));
	else if (IsSelected())
		owner->SetHighColor(ui_color(B_LIST_SELECTED_ITEM_TEXT_COLOR));
	else
		owner->SetHighColor(0, 0, 0);
	float x = frame.left + 4 + OutlineLevel() * 10;
	owner->DrawString(fText.c_str(), BPoint(x, frame.top + fBaselineOffset));
}

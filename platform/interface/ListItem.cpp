// BListItem: a row's size, selection and enabled state.
#include "ListItem.h"

#include <cmath>

#include "Font.h"
#include "View.h"

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fWidth(0), fHeight(0), fOutlineLevel(outlineLevel), fSelected(false), fEnabled(true),
      fExpanded(expanded)
{
}

BListItem::~BListItem() {}

void BListItem::Update(BView* owner, const BFont* font)
{
	font_height fh;
	font->GetHeight(&fh);
	SetWidth(owner != nullptr ? owner->Bounds().Width() : 0);
	SetHeight(std::ceil(fh.ascent + fh.descent + fh.leading));
}

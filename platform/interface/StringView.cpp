// BStringView: one line of text, aligned in its frame.
#include "StringView.h"

#include <cmath>

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                         uint32 flags)
    : BView(frame, name, resizingMode, flags), fText(text != nullptr ? text : ""),
      fAlign(B_ALIGN_LEFT)
{
}

BStringView::~BStringView() {}

void BStringView::SetText(const char* text)
{
	std::string value = text != nullptr ? text : "";
	if (value == fText)
		return;
	fText = value;
	Invalidate();
	StateChanged();
}

void BStringView::SetAlignment(alignment flag)
{
	fAlign = flag;
	Invalidate();
}

void BStringView::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
}

void BStringView::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width != nullptr)
		*width = std::ceil(StringWidth(fText.c_str()));
	if (height != nullptr)
		*height = std::ceil(fh.ascent + fh.descent + fh.leading);
}

void BStringView::Draw(BRect updateRect)
{
	if (fText.empty())
		return;
	BRect bounds = Bounds();
	font_height fh;
	GetFontHeight(&fh);
	float width = StringWidth(fText.c_str());
	float x = bounds.left;
	if (fAlign == B_ALIGN_RIGHT)
		x = bounds.right - width;
	else if (fAlign == B_ALIGN_CENTER)
		x = bounds.left + std::floor((bounds.Width() - width) / 2);
	float y = std::floor(
	        (bounds.top + bounds.bottom + std::ceil(fh.ascent) - std::ceil(fh.descent)) / 2);
	DrawString(fText.c_str(), BPoint(x, y));
}

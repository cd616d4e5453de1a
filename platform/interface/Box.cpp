// BBox: an etched frame with its label.
#include "Box.h"

#include <cmath>

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS), fHasLabel(false), fBorder(border)
{
	SetFont(be_bold_font);
}

BBox::~BBox() {}

void BBox::SetBorder(border_style border)
{
	fBorder = border;
	Invalidate();
}

void BBox::SetLabel(const char* label)
{
	fHasLabel = label != nullptr && label[0] != '\0';
	fLabel = fHasLabel ? label : "";
	Invalidate();
	StateChanged();
}

void BBox::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
}

void BBox::FrameResized(float width, float height)
{
	Invalidate();
}

void BBox::Draw(BRect updateRect)
{
	BRect bounds = Bounds();
	font_height fh;
	GetFontHeight(&fh);
	float labelTop = bounds.top;
	if (fHasLabel)
		labelTop = bounds.top + std::floor((fh.ascent + fh.descent) / 2);
	BRect frame(bounds.left, labelTop, bounds.right, bounds.bottom);
	rgb_color saved = HighColor();
	if (fBorder == B_FANCY_BORDER) {
		SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
		StrokeRect(BRect(frame.left, frame.top, frame.right - 1, frame.bottom - 1));
		SetHighColor(255, 255, 255);
		StrokeRect(BRect(frame.left + 1, frame.top + 1, frame.right, frame.bottom));
	} else if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
		StrokeRect(frame);
	}
	if (fHasLabel) {
		float width = StringWidth(fLabel.c_str());
		SetHighColor(ViewColor());
		FillRect(BRect(bounds.left + 8, bounds.top, bounds.left + 12 + width,
		               bounds.top + std::ceil(fh.ascent + fh.descent)));
		SetHighColor(0, 0, 0);
		SetLowColor(ViewColor());
		DrawString(fLabel.c_str(), BPoint(bounds.left + 10, bounds.top + std::ceil(fh.ascent)));
	}
	SetHighColor(saved);
}

// BScrollView: a bordered frame around a target with its scroll bars.
#include "ScrollView.h"

#include "ScrollBar.h"

namespace {

float border_width(border_style border)
{
	return border == B_FANCY_BORDER ? 2 : border == B_PLAIN_BORDER ? 1 : 0;
}

} // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                         bool horizontal, bool vertical, border_style border)
    : BView(FrameFor(target, horizontal, vertical, border), name, resizingMode,
            flags | B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(target), fVertical(nullptr), fHorizontal(nullptr), fBorder(border)
{
	float b = border_width(border);
	if (target != nullptr) {
		target->MoveTo(b, b);
		target->SetResizingMode(B_FOLLOW_ALL_SIDES);
		AddChild(target);
	}
	BRect inner = target != nullptr ? target->Frame() : BRect(b, b, b, b);
	if (vertical) {
		BRect frame(inner.right + 1, inner.top, inner.right + B_V_SCROLL_BAR_WIDTH, inner.bottom);
		fVertical = new BScrollBar(frame, "_VSB_", target, 0, 0, B_VERTICAL);
		AddChild(fVertical);
	}
	if (horizontal) {
		BRect frame(inner.left, inner.bottom + 1, inner.right,
		            inner.bottom + B_H_SCROLL_BAR_HEIGHT);
		fHorizontal = new BScrollBar(frame, "_HSB_", target, 0, 0, B_HORIZONTAL);
		AddChild(fHorizontal);
	}
}

BScrollView::~BScrollView() {}

BRect BScrollView::FrameFor(BView* target, bool horizontal, bool vertical, border_style border)
{
	BRect frame = target != nullptr ? target->Frame() : BRect(0, 0, 0, 0);
	float b = border_width(border);
	frame.InsetBy(-b, -b);
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	return frame;
}

BScrollBar* BScrollView::ScrollBar(orientation direction) const
{
	return direction == B_VERTICAL ? fVertical : fHorizontal;
}

void BScrollView::SetBorder(border_style border)
{
	fBorder = border;
	Invalidate();
}

void BScrollView::FrameResized(float width, float height)
{
	Invalidate();
}

void BScrollView::Draw(BRect updateRect)
{
	BRect bounds = Bounds();
	if (fBorder == B_FANCY_BORDER) {
		SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_2_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
		StrokeLine(bounds.RightTop());
		SetHighColor(255, 255, 255);
		StrokeLine(BPoint(bounds.left + 1, bounds.bottom), bounds.RightBottom());
		StrokeLine(bounds.RightTop() + BPoint(0, 1));
		BRect inner = bounds.InsetByCopy(1, 1);
		SetHighColor(96, 96, 96);
		StrokeRect(inner);
	} else if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(96, 96, 96);
		StrokeRect(bounds);
	}
}

// ProgressView: an instruction line with a bar behind its text.
#include "ProgressView.h"

#include <algorithm>

ProgressView::ProgressView(BRect frame, const char* name)
    : BStringView(frame, name, ""), fFraction(-1)
{
}

void ProgressView::SetFraction(const float& fraction)
{
	const float clamped = std::min(1.0f, std::max(0.0f, fraction));
	if (clamped <= fFraction)
		return;
	fFraction = clamped;
	Invalidate();
}

void ProgressView::SetFractionBack(const float& fraction)
{
	fFraction = std::min(1.0f, std::max(0.0f, fraction));
	Invalidate();
}

void ProgressView::Reset()
{
	fFraction = -1;
	Invalidate();
}

void ProgressView::Draw(BRect update)
{
	if (fFraction > 0) {
		const BRect bounds = Bounds();
		const float right = bounds.left + (bounds.Width() + 1) * fFraction - 1;
		SetHighColor(152, 186, 232);
		FillRect(BRect(bounds.left, bounds.top, right, bounds.bottom));
		SetHighColor(0, 0, 0);
		// The text goes over the bar, not over a cleared background.
		SetDrawingMode(B_OP_OVER);
	}
	BStringView::Draw(update);
	SetDrawingMode(B_OP_COPY);
}

// BScrollBar: a value within a range that scrolls its target.
#include "ScrollBar.h"

#include <algorithm>

#include "Message.h"

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name,
            direction == B_VERTICAL ? B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT
                                    : B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
            B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(nullptr), fValue(0), fMin(min), fMax(std::max(min, max)), fSmallStep(1),
      fLargeStep(10), fProportion(0), fOrientation(direction)
{
	SetTarget(target);
}

BScrollBar::~BScrollBar()
{
	SetTarget(nullptr);
}

void BScrollBar::SetValue(float value)
{
	value = std::clamp(value, fMin, fMax);
	if (value == fValue)
		return;
	fValue = value;
	ValueChanged(value);
	StateChanged();
}

void BScrollBar::ValueChanged(float newValue)
{
	if (fTarget == nullptr)
		return;
	BPoint offset = fTarget->ScrollOffset();
	if (fOrientation == B_VERTICAL)
		offset.y = newValue;
	else
		offset.x = newValue;
	fTarget->ScrollTo(offset);
}

void BScrollBar::SetRange(float min, float max)
{
	if (min == fMin && max == fMax)
		return;
	fMin = min;
	fMax = std::max(min, max);
	StateChanged();
	SetValue(fValue);
}

void BScrollBar::GetRange(float* min, float* max) const
{
	if (min != nullptr)
		*min = fMin;
	if (max != nullptr)
		*max = fMax;
}

void BScrollBar::SetSteps(float smallStep, float largeStep)
{
	fSmallStep = smallStep;
	fLargeStep = largeStep;
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
	if (smallStep != nullptr)
		*smallStep = fSmallStep;
	if (largeStep != nullptr)
		*largeStep = fLargeStep;
}

void BScrollBar::SetProportion(float proportion)
{
	proportion = std::clamp(proportion, 0.0f, 1.0f);
	if (proportion == fProportion)
		return;
	fProportion = proportion;
	StateChanged();
}

void BScrollBar::SetTarget(BView* target)
{
	if (fTarget != nullptr) {
		BScrollBar*& slot =
		        fOrientation == B_VERTICAL ? fTarget->fVerticalBar : fTarget->fHorizontalBar;
		if (slot == this)
			slot = nullptr;
	}
	fTarget = target;
	if (fTarget != nullptr) {
		BScrollBar*& slot =
		        fOrientation == B_VERTICAL ? fTarget->fVerticalBar : fTarget->fHorizontalBar;
		slot = this;
	}
}

void BScrollBar::MessageReceived(BMessage* message)
{
	if (message->what == kHostValue) {
		SetValue(message->FindFloat("value"));
		return;
	}
	BView::MessageReceived(message);
}

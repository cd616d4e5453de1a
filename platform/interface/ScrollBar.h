// BScrollBar: a bar whose value scrolls its target view.
#pragma once

#include "View.h"

class BScrollBar : public BView {
public:
	BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
	           orientation direction);
	~BScrollBar() override;

	void SetValue(float value);
	float Value() const { return fValue; }
	void SetRange(float min, float max);
	void GetRange(float* min, float* max) const;
	void SetSteps(float smallStep, float largeStep);
	void GetSteps(float* smallStep, float* largeStep) const;
	void SetProportion(float proportion);
	float Proportion() const { return fProportion; }
	void SetTarget(BView* target);
	BView* Target() const { return fTarget; }
	orientation Orientation() const { return fOrientation; }
	// Called after the value changed; the default scrolls the target.
	virtual void ValueChanged(float newValue);
	void MessageReceived(BMessage* message) override;

	// Our addition: the window system reports a new value with this message
	// (float "value").
	enum : uint32 { kHostValue = '_hSB' };

private:
	friend class BView;
	BView* fTarget;
	float fValue;
	float fMin;
	float fMax;
	float fSmallStep;
	float fLargeStep;
	float fProportion;
	orientation fOrientation;
};

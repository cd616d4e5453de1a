// ProgressView: the instruction line, which during a run fills from the left
// with the share of the selected bytes already placed.
#pragma once

#include "StringView.h"

class ProgressView : public BStringView {
public:
	ProgressView(BRect frame, const char* name);

	// `fraction` from 0 to 1; a smaller value than the last is ignored, so
	// the bar never goes back. A negative value hides the bar.
	void SetFraction(const float& fraction);
	// Sets a smaller value too: an undo runs the bar backwards.
	void SetFractionBack(const float& fraction);
	void Reset();
	float Fraction() const { return fFraction; }

	void Draw(BRect update) override;

private:
	float fFraction;
};

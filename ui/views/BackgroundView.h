// BackgroundView: the installer window's panel, with the product line written
// upwards along its right edge behind every other view.
#pragma once

#include "View.h"

class BackgroundView : public BView {
public:
	// The line begins `lineInset` points above the bottom edge.
	explicit BackgroundView(BRect frame, const float& lineInset = 45);

	void Draw(BRect update) override;

	static const char* const kProductLine;

private:
	float fLineInset;
};

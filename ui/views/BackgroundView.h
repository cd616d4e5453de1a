// BackgroundView: the installer window's panel, with the product line written
// upwards along its right edge behind every other view.
#pragma once

#include "View.h"

class BackgroundView : public BView {
public:
	explicit BackgroundView(BRect frame);

	void Draw(BRect update) override;

	static const char* const kProductLine;
};

// LibTipString: the text of a tool-tip, pale yellow, small, read-only; its
// pulse hides the tip window, so a tip goes one end delay after it appeared.
#pragma once

#include "TextView.h"

class LibTipString : public BTextView {
public:
	explicit LibTipString(BRect frame);
	~LibTipString() override;

	void Pulse() override;
	void FrameResized(float width, float height) override;
};

// BCheckBox: a labelled box that is on or off; each toggle invokes it.
#pragma once

#include "Control.h"

class BCheckBox : public BControl {
public:
	BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	          uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	          uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BCheckBox() override;

	void GetPreferredSize(float* width, float* height) override;
	void KeyDown(const char* bytes, int32 numBytes) override;

protected:
	// A click toggles the value, then invokes.
	void HostAction(BMessage* message) override;
};

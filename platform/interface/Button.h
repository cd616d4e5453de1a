// BButton: a push button; the window's default button answers Enter.
#pragma once

#include "Control.h"

class BButton : public BControl {
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
	        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BButton() override;

	virtual void MakeDefault(bool flag);
	bool IsDefault() const;
	void GetPreferredSize(float* width, float* height) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void DetachedFromWindow() override;
};

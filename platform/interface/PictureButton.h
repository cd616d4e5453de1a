// BPictureButton: a button drawn with pictures: off, on (pressed or set),
// and the disabled forms.
#pragma once

#include "Control.h"

class BPicture;

enum {
	B_ONE_STATE_BUTTON = 0,
	B_TWO_STATE_BUTTON = 1,
};

class BPictureButton : public BControl {
public:
	// The pictures are copied.
	BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on, BMessage* message,
	               uint32 behavior = B_ONE_STATE_BUTTON,
	               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BPictureButton() override;

	void SetEnabledOn(BPicture* on);
	void SetEnabledOff(BPicture* off);
	void SetDisabledOn(BPicture* on);
	void SetDisabledOff(BPicture* off);
	BPicture* EnabledOn() const { return fEnabledOn; }
	BPicture* EnabledOff() const { return fEnabledOff; }
	BPicture* DisabledOn() const { return fDisabledOn; }
	BPicture* DisabledOff() const { return fDisabledOff; }
	void SetBehavior(uint32 behavior) { fBehavior = behavior; }
	uint32 Behavior() const { return fBehavior; }
	// The picture Draw shows for the current state.
	BPicture* CurrentPicture() const;

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void SetValue(int32 value) override;
	void SetEnabled(bool enabled) override;
	void KeyDown(const char* bytes, int32 numBytes) override;

	// Our addition: true while the mouse holds the button down.
	bool IsPressed() const { return fPressed; }

private:
	static void Replace(BPicture*& slot, BPicture* picture);

	BPicture* fEnabledOff;
	BPicture* fEnabledOn;
	BPicture* fDisabledOff;
	BPicture* fDisabledOn;
	uint32 fBehavior;
	bool fPressed;
};

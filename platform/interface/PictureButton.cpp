// BPictureButton: a button drawn from pictures, one or two states.
#include "PictureButton.h"

#include "Picture.h"

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
                               BMessage* message, uint32 behavior, uint32 resizingMode,
                               uint32 flags)
    : BControl(frame, name, name, message, resizingMode, flags),
      fEnabledOff(off != nullptr ? new BPicture(*off) : new BPicture()),
      fEnabledOn(on != nullptr ? new BPicture(*on) : new BPicture()), fDisabledOff(nullptr),
      fDisabledOn(nullptr), fBehavior(behavior), fPressed(false)
{
}

BPictureButton::~BPictureButton()
{
	delete fEnabledOff;
	delete fEnabledOn;
	delete fDisabledOff;
	delete fDisabledOn;
}

void BPictureButton::Replace(BPicture*& slot, BPicture* picture)
{
	BPicture* copy = picture != nullptr ? new BPicture(*picture) : nullptr;
	delete slot;
	slot = copy;
}

void BPictureButton::SetEnabledOn(BPicture* on)
{
	Replace(fEnabledOn, on);
	Invalidate();
}

void BPictureButton::SetEnabledOff(BPicture* off)
{
	Replace(fEnabledOff, off);
	Invalidate();
}

void BPictureButton::SetDisabledOn(BPicture* on)
{
	Replace(fDisabledOn, on);
	Invalidate();
}

void BPictureButton::SetDisabledOff(BPicture* off)
{
	Replace(fDisabledOff, off);
	Invalidate();
}

BPicture* BPictureButton::CurrentPicture() const
{
	bool on = fPressed || Value() == B_CONTROL_ON;
	if (!IsEnabled()) {
		BPicture* disabled = on ? fDisabledOn : fDisabledOff;
		if (disabled != nullptr)
			return disabled;
	}
	return on ? fEnabledOn : fEnabledOff;
}

void BPictureButton::Draw(BRect updateRect)
{
	DrawPicture(CurrentPicture(), Bounds().LeftTop());
}

void BPictureButton::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	fPressed = true;
	Invalidate();
}

void BPictureButton::MouseUp(BPoint where)
{
	if (!fPressed)
		return;
	fPressed = false;
	Invalidate();
	if (!Bounds().Contains(where) || !IsEnabled())
		return;
	if (fBehavior == B_TWO_STATE_BUTTON)
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
	Invoke();
}

void BPictureButton::SetValue(int32 value)
{
	BControl::SetValue(value);
	Invalidate();
}

void BPictureButton::SetEnabled(bool enabled)
{
	if (!enabled)
		fPressed = false;
	BControl::SetEnabled(enabled);
}

void BPictureButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE) && IsEnabled()) {
		if (fBehavior == B_TWO_STATE_BUTTON)
			SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

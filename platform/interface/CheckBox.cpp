// BCheckBox: a toggle that invokes on each change.
#include "CheckBox.h"

#include <cmath>

#include "Message.h"

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
                     uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{
}

BCheckBox::~BCheckBox() {}

void BCheckBox::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width != nullptr)
		*width = std::ceil(StringWidth(Label())) + 22;
	if (height != nullptr)
		*height = std::ceil(fh.ascent + fh.descent) + 4;
}

void BCheckBox::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && bytes[0] == B_SPACE && IsEnabled()) {
		SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
		Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void BCheckBox::HostAction(BMessage* message)
{
	int32 value = 0;
	if (message->FindInt32("value", &value) != B_OK)
		value = Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF;
	SetValue(value != 0 ? B_CONTROL_ON : B_CONTROL_OFF);
	Invoke();
}

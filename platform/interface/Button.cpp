// BButton: the default button of a window and invocation by click or key.
#include "Button.h"

#include <algorithm>
#include <cmath>

#include "Window.h"

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{
}

BButton::~BButton()
{
	if (IsDefault())
		Window()->SetDefaultButton(nullptr);
}

void BButton::MakeDefault(bool flag)
{
	if (Window() == nullptr)
		return;
	if (flag)
		Window()->SetDefaultButton(this);
	else if (IsDefault())
		Window()->SetDefaultButton(nullptr);
}

bool BButton::IsDefault() const
{
	return Window() != nullptr && Window()->DefaultButton() == this;
}

void BButton::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width != nullptr)
		*width = std::max(75.0f, std::ceil(StringWidth(Label())) + 20);
	if (height != nullptr)
		*height = std::ceil(fh.ascent + fh.descent) + 12;
}

void BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled())
			Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void BButton::DetachedFromWindow()
{
	if (IsDefault())
		Window()->SetDefaultButton(nullptr);
	BControl::DetachedFromWindow();
}

// BControl: label, value and enabled state, and the invocation message.
#include "Control.h"

#include "Message.h"
#include "Window.h"

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, nullptr, nullptr),
      fLabel(label != nullptr ? label : ""), fValue(B_CONTROL_OFF), fEnabled(true)
{
}

BControl::~BControl() {}

void BControl::AttachedToWindow()
{
	if (!Messenger().IsValid())
		SetTarget(Window());
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void BControl::MessageReceived(BMessage* message)
{
	if (message->what == kHostAction) {
		if (fEnabled)
			HostAction(message);
		return;
	}
	BView::MessageReceived(message);
}

void BControl::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	Invalidate();
}

void BControl::SetLabel(const char* label)
{
	std::string text = label != nullptr ? label : "";
	if (text == fLabel)
		return;
	fLabel = text;
	Invalidate();
	StateChanged();
}

void BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	StateChanged();
}

void BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	Invalidate();
	StateChanged();
}

status_t BControl::Invoke(BMessage* message)
{
	BMessage copy;
	status_t status = StampedMessage(message, this, &copy);
	if (status != B_OK)
		return status;
	copy.AddInt32("be:value", fValue);
	return BInvoker::Invoke(&copy);
}

void BControl::HostAction(BMessage* message)
{
	Invoke();
}

// BControl: a view with a label, a value and an enabled state that sends its
// message when invoked.
#pragma once

#include <string>

#include "Invoker.h"
#include "View.h"

enum {
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker {
public:
	// Takes ownership of `message`.
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
	         uint32 resizingMode, uint32 flags);
	~BControl() override;

	void AttachedToWindow() override;
	void MessageReceived(BMessage* message) override;
	void MakeFocus(bool focus = true) override;

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.c_str(); }
	virtual void SetValue(int32 value);
	int32 Value() const { return fValue; }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }

	// Sends the message with "when" (int64), "source" (pointer) and
	// "be:value" (int32) added. The target defaults to the window.
	status_t Invoke(BMessage* message = nullptr) override;

	// Our addition: the window system reports a user's action on the control
	// (a click, a toggle) with this message, handled on the window's thread.
	enum : uint32 { kHostAction = '_hAC' };

protected:
	// What a click (or the space bar) does: the default invokes.
	virtual void HostAction(BMessage* message);

private:
	std::string fLabel;
	int32 fValue;
	bool fEnabled;
};

// BAlert: alerts as data handed to the installed presenter.
#include "Alert.h"

#include <thread>

#include "AlertPresenter.h"
#include "TextAlertPresenter.h"

#if __has_include("Invoker.h")
#include "Invoker.h"
#include "Message.h"
#define VANTRY_HAVE_INVOKER 1
#endif

BAlert::BAlert(const char* title, const char* text, const char* button0Label,
               const char* button1Label, const char* button2Label, button_width width,
               alert_type type)
    : BAlert(title, text, button0Label, button1Label, button2Label, width, B_EVEN_SPACING, type)
{
}

BAlert::BAlert(const char* title, const char* text, const char* button0Label,
               const char* button1Label, const char* button2Label, button_width width,
               button_spacing spacing, alert_type type)
    : fTitle(title != nullptr ? title : ""), fWidth(width), fSpacing(spacing), fType(type)
{
	fText.SetText(text);
	AddButton(button0Label);
	AddButton(button1Label);
	AddButton(button2Label);
}

BAlert::~BAlert() {}

int32 BAlert::Go()
{
	int32 answer = Present();
	DeliverControlValues();
	delete this;
	return answer;
}

status_t BAlert::Go(BInvoker* invoker)
{
	std::thread(RunAsync, this, invoker).detach();
	return B_OK;
}

void BAlert::SetShortcut(int32 index, char key)
{
	Button* button = ButtonAt(index);
	if (button != nullptr)
		button->fShortcut = key;
}

char BAlert::Shortcut(int32 index) const
{
	const Button* button = ButtonAt(index);
	return button != nullptr ? button->fShortcut : 0;
}

BAlert::Button* BAlert::ButtonAt(int32 index)
{
	if (index < 0 || index >= CountButtons())
		return nullptr;
	return &fButtons[index];
}

const BAlert::Button* BAlert::ButtonAt(int32 index) const
{
	if (index < 0 || index >= CountButtons())
		return nullptr;
	return &fButtons[index];
}

int32 BAlert::AddCheckBox(const char* label, bool* value)
{
	Control control{Control::kCheckBox, label != nullptr ? label : "",
	                (value != nullptr && *value) ? 1 : 0};
	fControls.push_back(control);
	fControlTargets.push_back(value);
	return CountControls() - 1;
}

const BAlert::Control* BAlert::ControlAt(int32 index) const
{
	if (index < 0 || index >= CountControls())
		return nullptr;
	return &fControls[index];
}

status_t BAlert::SetControlValue(int32 index, int32 value)
{
	if (index < 0 || index >= CountControls())
		return B_BAD_INDEX;
	fControls[index].value = value;
	return B_OK;
}

void BAlert::AddButton(const char* label)
{
	// A missing label leaves no gap: ("A", NULL, "C") gives two buttons.
	if (label == nullptr)
		return;
	fButtons.emplace_back();
	fButtons.back().SetLabel(label);
}

int32 BAlert::Present()
{
	AlertPresenter* presenter = AlertPresenter::Get();
	int32 answer;
	if (presenter != nullptr) {
		answer = presenter->Present(*this);
	} else {
		TextAlertPresenter fallback;
		answer = fallback.Present(*this);
	}
	if (answer == B_ALERT_DISMISSED)
		return answer;
	// A presenter that names no existing button gets the default.
	if (answer < 0 || answer >= CountButtons())
		return DefaultButton();
	return answer;
}

void BAlert::DeliverControlValues()
{
	for (size_t i = 0; i < fControls.size(); i++) {
		if (fControlTargets[i] != nullptr)
			*fControlTargets[i] = fControls[i].value != 0;
	}
}

void BAlert::RunAsync(BAlert* alert, BInvoker* invoker)
{
	int32 which = alert->Present();
	alert->DeliverControlValues();
	delete alert;
#ifdef VANTRY_HAVE_INVOKER
	if (invoker == nullptr)
		return;
	if (invoker->Message() != nullptr) {
		BMessage message(*invoker->Message());
		message.RemoveName("which");
		message.AddInt32("which", which);
		invoker->Invoke(&message);
	}
	delete invoker;
#else
	(void)which;
	(void)invoker;
#endif
}

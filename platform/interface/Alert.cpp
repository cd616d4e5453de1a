// BAlert: alerts as data handed to the installed presenter.
#include "Alert.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "AlertPresenter.h"
#include "Message.h"
#include "TextAlertPresenter.h"

#if __has_include("Invoker.h")
#include "Invoker.h"
#include "Message.h"
#define VANTRY_HAVE_INVOKER 1
#endif

namespace {

const float kTextWidth = 245;

} // namespace

BAlert::BAlert(const char* title, const char* text, const char* button0Label,
               const char* button1Label, const char* button2Label, button_width width,
               alert_type type)
    : BAlert(title, text, button0Label, button1Label, button2Label, width, B_EVEN_SPACING, type)
{
}

BAlert::BAlert(const char* title, const char* text, const char* button0Label,
               const char* button1Label, const char* button2Label, button_width width,
               button_spacing spacing, alert_type type)
    : fTitle(title != nullptr ? title : ""),
      fText(new BTextView(BRect(0, 0, kTextWidth, 15), "_tv_", BRect(0, 0, kTextWidth, 15),
                          B_FOLLOW_ALL_SIDES, B_WILL_DRAW)),
      fWidth(width), fSpacing(spacing), fType(type)
{
	fText->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fText->MakeEditable(false);
	fText->MakeSelectable(false);
	fText->SetText(text);
	AddButton(button0Label);
	AddButton(button1Label);
	AddButton(button2Label);
}

BAlert::~BAlert()
{
	// A presenter gives the views back before the alert goes.
	fText->RemoveSelf();
	delete fText;
	for (BButton* button : fButtons) {
		button->RemoveSelf();
		delete button;
	}
}

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
	if (index >= 0 && index < CountButtons())
		fShortcuts[index] = key;
}

char BAlert::Shortcut(int32 index) const
{
	return index >= 0 && index < CountButtons() ? fShortcuts[index] : 0;
}

BButton* BAlert::ButtonAt(int32 index)
{
	if (index < 0 || index >= CountButtons())
		return nullptr;
	return fButtons[index];
}

const BButton* BAlert::ButtonAt(int32 index) const
{
	if (index < 0 || index >= CountButtons())
		return nullptr;
	return fButtons[index];
}

float BAlert::ButtonWidthFor(int32 index) const
{
	auto widthOf = [this](int32 i) {
		float label = std::ceil(fButtons[i]->StringWidth(fButtons[i]->Label())) + 20;
		return fWidth == B_WIDTH_FROM_LABEL ? label : std::max(kMinButtonWidth, label);
	};
	if (fWidth != B_WIDTH_FROM_WIDEST)
		return widthOf(index);
	float widest = 0;
	for (int32 i = 0; i < CountButtons(); i++)
		widest = std::max(widest, widthOf(i));
	return widest;
}

BRect BAlert::NaturalFrame() const
{
	float buttons = 0;
	for (int32 i = 0; i < CountButtons(); i++)
		buttons += ButtonWidthFor(i) + (i > 0 ? kButtonSpacing : 0);
	if (fSpacing == B_OFFSET_SPACING && CountButtons() > 1)
		buttons += kOffsetSpacing;
	float width = std::max(kDefaultWidth, kTextLeft + buttons + kMargin);
	// The text wraps to the width the text view will have.
	float textWidth = width - kTextLeft - kMargin;
	BTextView measure(BRect(0, 0, textWidth, 10), "", BRect(0, 0, textWidth, 10), 0, 0);
	BFont font;
	fText->GetFont(&font);
	measure.SetFont(&font);
	measure.SetText(fText->Text());
	float textHeight = measure.CountLines() * measure.LineHeight();
	float top = std::max(textHeight, kIconSize);
	float height =
	        kMargin + top + kMargin + CountControls() * kControlHeight + kButtonHeight + kMargin;
	return BRect(0, 0, std::ceil(width) - 1, std::ceil(height) - 1);
}

BRect BAlert::Frame() const
{
	BRect frame = NaturalFrame();
	frame.right += fSizeChange.x;
	frame.bottom += fSizeChange.y;
	return frame;
}

void BAlert::ResizeTo(float width, float height)
{
	BRect natural = NaturalFrame();
	fSizeChange = BPoint(width - natural.Width(), height - natural.Height());
}

void BAlert::ResizeBy(float dx, float dy)
{
	fSizeChange += BPoint(dx, dy);
}

void BAlert::MessageReceived(BMessage* message) {}

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
	int32 index = CountButtons();
	fButtons.push_back(new BButton(BRect(0, 0, kMinButtonWidth - 1, kButtonHeight - 1), "_b_",
	                               label, new BMessage(kButtonCommand + index)));
	fShortcuts.push_back(0);
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

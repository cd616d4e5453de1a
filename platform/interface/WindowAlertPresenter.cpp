// WindowAlertPresenter: an alert as a modal window; the asking thread waits
// for the answer, or runs the loop meanwhile when it is the main thread.
#include "WindowAlertPresenter.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Alert.h"
#include "CheckBox.h"
#include "InterfaceHost.h"
#include "Message.h"
#include "Screen.h"
#include "TextAlertPresenter.h"
#include "ThreadWait.h"
#include "View.h"
#include "Window.h"

namespace {

// The answer, set on the alert window's thread, read by the asking thread.
struct Answer {
	std::mutex lock;
	std::condition_variable given;
	int32 button = B_ALERT_DISMISSED;
	bool answered = false;

	void Give(int32 index)
	{
		{
			std::lock_guard<std::mutex> guard(lock);
			if (answered)
				return;
			button = index;
			answered = true;
		}
		given.notify_all();
		InterfaceHost::Wake();
		InterfaceHost::Event("alert-answered %d", int(index));
	}

	bool IsAnswered()
	{
		std::lock_guard<std::mutex> guard(lock);
		return answered;
	}
};

const uint32 kCheckBoxCommand = '_AC0';

// The stripe on the left with the icon of the alert's kind.
class AlertIconView : public BView {
public:
	AlertIconView(BRect frame, alert_type type)
	    : BView(frame, "_icon_", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW), fType(type)
	{
	}

	void AttachedToWindow() override { SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR)); }

	void Draw(BRect updateRect) override
	{
		BRect bounds = Bounds();
		SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
		FillRect(BRect(bounds.left, bounds.top, bounds.left + 29, bounds.bottom));
		if (fType == B_EMPTY_ALERT)
			return;
		BRect icon(18, 6, 18 + BAlert::kIconSize - 1, 6 + BAlert::kIconSize - 1);
		const char* mark = fType == B_STOP_ALERT      ? "X"
		                   : fType == B_WARNING_ALERT ? "!"
		                   : fType == B_IDEA_ALERT    ? "?"
		                                              : "i";
		rgb_color fill = fType == B_STOP_ALERT      ? rgb_color{220, 40, 40, 255}
		                 : fType == B_WARNING_ALERT ? rgb_color{255, 203, 0, 255}
		                 : fType == B_IDEA_ALERT    ? rgb_color{255, 227, 70, 255}
		                                            : rgb_color{77, 113, 191, 255};
		SetHighColor(fill);
		if (fType == B_WARNING_ALERT)
			FillRoundRect(icon, 6, 6);
		else
			FillEllipse(icon);
		SetHighColor(0, 0, 0);
		StrokeEllipse(icon);
		BFont font(be_bold_font);
		font.SetSize(22);
		SetFont(&font);
		SetHighColor(fType == B_WARNING_ALERT ? rgb_color{0, 0, 0, 255}
		                                      : rgb_color{255, 255, 255, 255});
		float width = StringWidth(mark);
		DrawString(mark,
		           BPoint(icon.left + std::floor((icon.Width() - width) / 2) + 1, icon.bottom - 7));
	}

private:
	alert_type fType;
};

class AlertWindow : public BWindow {
public:
	AlertWindow(BAlert& alert, std::shared_ptr<Answer> answer)
	    : BWindow(Placed(alert.Frame()), alert.Title(), B_MODAL_WINDOW_LOOK,
	              B_MODAL_APP_WINDOW_FEEL,
	              B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_NOT_RESIZABLE |
	                      B_ASYNCHRONOUS_CONTROLS),
	      fAlert(alert), fAnswer(std::move(answer))
	{
		RemoveShortcut('W', B_COMMAND_KEY);
		RemoveShortcut('Q', B_COMMAND_KEY);
		Build();
	}

	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		if (message->what == B_KEY_DOWN && PressShortcut(message))
			return;
		BWindow::DispatchMessage(message, handler);
	}

	void MessageReceived(BMessage* message) override
	{
		uint32 what = message->what;
		if (what >= BAlert::kButtonCommand && what < BAlert::kButtonCommand + 3) {
			fAnswer->Give(int32(what - BAlert::kButtonCommand));
			return;
		}
		if (what >= kCheckBoxCommand && what < kCheckBoxCommand + uint32(fChecks.size())) {
			int32 index = int32(what - kCheckBoxCommand);
			fAlert.SetControlValue(index, fChecks[index]->Value());
			return;
		}
		fAlert.MessageReceived(message);
	}

	// Gives the alert its views back; the window's lock is held.
	void ReturnViews()
	{
		fAlert.TextView()->RemoveSelf();
		for (int32 i = 0; i < fAlert.CountButtons(); i++)
			fAlert.ButtonAt(i)->RemoveSelf();
	}

private:
	// Centred on the window it speaks for, else high on the screen; never
	// beyond the screen's edges.
	static BRect Placed(BRect frame)
	{
		const BRect screen = BScreen().Frame();
		BRect owner;
		float left = std::floor((screen.Width() - frame.Width()) / 2);
		float top = std::floor((screen.Height() - frame.Height()) / 3);
		if (InterfaceHost::MainWindowFrame(&owner)) {
			left = std::floor(owner.left + (owner.Width() - frame.Width()) / 2);
			top = std::floor(owner.top + (owner.Height() - frame.Height()) / 2);
		}
		left = std::min(left, screen.right - frame.Width());
		top = std::min(top, screen.bottom - frame.Height());
		return frame.OffsetToCopy(std::max(0.0f, left), std::max(0.0f, top));
	}

	void Build()
	{
		BRect bounds = Bounds();
		float buttonTop = bounds.bottom - BAlert::kMargin - BAlert::kButtonHeight + 1;
		float controlsTop =
		        buttonTop - BAlert::kMargin - fAlert.CountControls() * BAlert::kControlHeight;
		AddChild(new AlertIconView(BRect(0, 0, BAlert::kTextLeft - 6, bounds.bottom),
		                           fAlert.Type()));
		BTextView* text = fAlert.TextView();
		text->MoveTo(BAlert::kTextLeft, BAlert::kMargin);
		text->ResizeTo(bounds.right - BAlert::kMargin - BAlert::kTextLeft,
		               controlsTop - BAlert::kMargin - 1);
		text->SetTextRect(BRect(0, 0, text->Bounds().Width(), text->Bounds().Height()));
		AddChild(text);
		AddCheckBoxes(controlsTop);
		AddButtons(buttonTop);
	}

	void AddCheckBoxes(float top)
	{
		for (int32 i = 0; i < fAlert.CountControls(); i++) {
			const BAlert::Control* control = fAlert.ControlAt(i);
			float y = top + i * BAlert::kControlHeight;
			BRect frame(BAlert::kTextLeft, y, Bounds().right - BAlert::kMargin,
			            y + BAlert::kControlHeight - 2);
			auto* box = new BCheckBox(frame, "_check_", control->label.c_str(),
			                          new BMessage(kCheckBoxCommand + i));
			box->SetValue(control->value != 0 ? B_CONTROL_ON : B_CONTROL_OFF);
			fChecks.push_back(box);
			AddChild(box);
		}
	}

	void AddButtons(float top)
	{
		int32 count = fAlert.CountButtons();
		float right = Bounds().right - BAlert::kMargin;
		for (int32 i = count - 1; i >= 0; i--) {
			BButton* button = fAlert.ButtonAt(i);
			float width = fAlert.ButtonWidthFor(i);
			float left = right - width + 1;
			if (i == 0 && count > 1 && fAlert.Spacing() == B_OFFSET_SPACING)
				left = BAlert::kTextLeft;
			button->MoveTo(left, top);
			button->ResizeTo(width - 1, BAlert::kButtonHeight - 1);
			AddChild(button);
			right = left - BAlert::kButtonSpacing - 1;
		}
		if (count > 0)
			SetDefaultButton(fAlert.ButtonAt(fAlert.DefaultButton()));
	}

	// A button's shortcut key, alone or with Command, presses it.
	bool PressShortcut(BMessage* message)
	{
		int32 key = message->FindInt32("raw_char");
		if (key <= 0 || key >= 128)
			return false;
		for (int32 i = 0; i < fAlert.CountButtons(); i++) {
			char shortcut = fAlert.Shortcut(i);
			if (shortcut != 0 && tolower(shortcut) == tolower(key)) {
				fAnswer->Give(i);
				return true;
			}
		}
		return false;
	}

	BAlert& fAlert;
	std::shared_ptr<Answer> fAnswer;
	std::vector<BCheckBox*> fChecks;
};

// Waits for the answer; a stop request of the calling thread ends the wait.
void wait_for(Answer& answer)
{
	if (InterfaceHost::IsMainThread()) {
		InterfaceHost::RunNestedLoop([&] { return answer.IsAnswered() || thread_should_stop(); });
		return;
	}
	ThreadWait wait(answer.lock, answer.given);
	std::unique_lock<std::mutex> guard(answer.lock);
	wait.Wait(guard, B_INFINITE_TIMEOUT, [&] { return answer.answered; });
}

} // namespace

WindowAlertPresenter::WindowAlertPresenter() {}

WindowAlertPresenter::~WindowAlertPresenter() {}

WindowAlertPresenter* WindowAlertPresenter::Default()
{
	static WindowAlertPresenter presenter;
	return &presenter;
}

int32 WindowAlertPresenter::Present(BAlert& alert)
{
	if (!InterfaceHost::IsRunning()) {
		TextAlertPresenter text;
		return text.Present(alert);
	}
	if (StopRequested())
		return B_ALERT_DISMISSED;
	auto answer = std::make_shared<Answer>();
	auto* window = new AlertWindow(alert, answer);
	InterfaceHost::Event("alert-shown %s", alert.Text());
	window->Show();
	wait_for(*answer);
	window->Lock();
	window->ReturnViews();
	window->Quit();
	std::lock_guard<std::mutex> guard(answer->lock);
	return answer->answered ? answer->button : B_ALERT_DISMISSED;
}

// BAlert: a modal message with up to three buttons, shown through the
// process-wide AlertPresenter.
#pragma once

#include <string>
#include <vector>

#include "Button.h"
#include "InterfaceDefs.h"
#include "Rect.h"
#include "SupportDefs.h"
#include "TextView.h"

class BInvoker;
class BMessage;

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT = 1,
	B_IDEA_ALERT = 2,
	B_WARNING_ALERT = 3,
	B_STOP_ALERT = 4,
};

enum button_spacing {
	B_EVEN_SPACING = 0,
	B_OFFSET_SPACING = 1,
};

// Our addition: what Go answers when a stop request dismissed the alert.
enum { B_ALERT_DISMISSED = -1 };

class BAlert {
public:
	// An extra control below the text, described as data for the presenter.
	struct Control {
		enum Kind { kCheckBox = 0 };
		Kind kind;
		std::string label;
		int32 value;
	};

	BAlert(const char* title, const char* text, const char* button0Label,
	       const char* button1Label = nullptr, const char* button2Label = nullptr,
	       button_width width = B_WIDTH_AS_USUAL, alert_type type = B_INFO_ALERT);
	BAlert(const char* title, const char* text, const char* button0Label, const char* button1Label,
	       const char* button2Label, button_width width, button_spacing spacing,
	       alert_type type = B_INFO_ALERT);
	virtual ~BAlert();
	BAlert(const BAlert&) = delete;
	BAlert& operator=(const BAlert&) = delete;

	// Shows the alert, waits for the answer and deletes the alert, as the
	// platform does: create it with new and do not touch it afterwards.
	// Answers the pressed button's index or B_ALERT_DISMISSED.
	int32 Go();
	// Shows the alert on its own thread and returns at once. When answered,
	// a copy of the invoker's message with the int32 "which" (the button) is
	// sent through the invoker; the alert then deletes itself and the invoker.
	status_t Go(BInvoker* invoker);

	void SetShortcut(int32 index, char key);
	char Shortcut(int32 index) const;

	const char* Title() const { return fTitle.c_str(); }
	alert_type Type() const { return fType; }
	button_width ButtonWidth() const { return fWidth; }
	button_spacing Spacing() const { return fSpacing; }
	int32 CountButtons() const { return int32(fButtons.size()); }
	// NULL for an index without a button. The buttons and the text view are
	// the views the windowed presenter shows; they belong to the alert.
	BButton* ButtonAt(int32 index);
	const BButton* ButtonAt(int32 index) const;
	// The button Enter presses: the last (rightmost) one.
	int32 DefaultButton() const { return CountButtons() - 1; }
	// Views added to the text view show below the text, in its coordinates.
	BTextView* TextView() { return fText; }
	const BTextView* TextView() const { return fText; }
	const char* Text() const { return fText->Text(); }

	// The alert window's frame: its natural size (from the text and the
	// buttons) changed by ResizeTo/ResizeBy; left and top are 0.
	BRect Frame() const;
	BRect Bounds() const { return Frame(); }
	void ResizeTo(float width, float height);
	void ResizeBy(float dx, float dy);
	// Messages the alert's window gets that it does not handle itself (from
	// views added to the text view) come here.
	virtual void MessageReceived(BMessage* message);

	// Adds a check box below the text; `value` gives its first state and
	// receives the answered one when Go returns. Answers the control's index.
	int32 AddCheckBox(const char* label, bool* value);
	int32 CountControls() const { return int32(fControls.size()); }
	const Control* ControlAt(int32 index) const;
	status_t SetControlValue(int32 index, int32 value);

	// Layout of the alert window, shared with the windowed presenter.
	static constexpr float kDefaultWidth = 310;
	static constexpr float kTextLeft = 55;
	static constexpr float kMargin = 10;
	static constexpr float kIconSize = 32;
	static constexpr float kButtonHeight = 24;
	static constexpr float kMinButtonWidth = 75;
	static constexpr float kButtonSpacing = 9;
	static constexpr float kOffsetSpacing = 40;
	static constexpr float kControlHeight = 20;
	// Button i sends kButtonCommand + i to the alert's window.
	static constexpr uint32 kButtonCommand = '_AB0';
	float ButtonWidthFor(int32 index) const;

private:
	void AddButton(const char* label);
	int32 Present();
	void DeliverControlValues();
	static void RunAsync(BAlert* alert, BInvoker* invoker);

	BRect NaturalFrame() const;

	std::string fTitle;
	BTextView* fText;
	std::vector<BButton*> fButtons;
	std::vector<char> fShortcuts;
	BPoint fSizeChange;
	std::vector<Control> fControls;
	std::vector<bool*> fControlTargets;
	button_width fWidth;
	button_spacing fSpacing;
	alert_type fType;
};

// LibLabelControl: the label and suffix views and their colours.
#include "LibLabelControl.h"

#include "LibColors.h"
#include "StringView.h"

namespace {

BStringView* MakeText(BRect frame, const char* name, const char* text)
{
	BStringView* view = new BStringView(frame, name, text);
	view->SetFontSize(12);
	view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	view->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	view->SetHighColor(lib_nearest_system_color(black_color));
	return view;
}

// A label wider than its place (a long translation) is drawn smaller, down
// to 8 points, rather than run into the suffix and the control beside it.
void FitText(BStringView* view)
{
	view->SetFontSize(12);
	const float room = view->Bounds().Width() + 1;
	for (float size = 11; size >= 8 && view->StringWidth(view->Text()) > room; size--)
		view->SetFontSize(size);
}

} // namespace

LibLabelControl::LibLabelControl(BRect frame, const float& divider, const char* name,
                                 const char* label, const float& bottomInset, const char* suffix,
                                 uint32 resizingMode)
    : BView(frame, name, resizingMode, B_WILL_DRAW), fLabel(nullptr), fSuffix(nullptr),
      fDivider(divider), fEnabled(true)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	float bottom = Bounds().Height() - bottomInset;
	if (label != nullptr) {
		float right = suffix != nullptr ? divider - 12 : divider - 2;
		fLabel = MakeText(BRect(0, 0, right, bottom), "label", label);
		FitText(fLabel);
		AddChild(fLabel);
	}
	if (suffix != nullptr) {
		fSuffix = MakeText(BRect(divider - 11, 0, divider - 2, bottom), "colon", suffix);
		AddChild(fSuffix);
	}
}

LibLabelControl::~LibLabelControl() {}

void LibLabelControl::SetLabel(const char* text)
{
	if (fLabel == nullptr)
		return;
	fLabel->SetText(text);
	FitText(fLabel);
}

const char* LibLabelControl::LabelText() const
{
	return fLabel != nullptr ? fLabel->Text() : "";
}

void LibLabelControl::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	rgb_color color = lib_nearest_system_color(enabled ? black_color : dark_grey_color);
	for (BStringView* view : {fLabel, fSuffix}) {
		if (view == nullptr)
			continue;
		view->SetHighColor(color);
		view->Invalidate();
	}
}

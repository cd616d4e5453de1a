// LibWindow: placement, screen changes and help requests.
#include "LibWindow.h"

#include "Application.h"
#include "Message.h"
#include "Screen.h"
#include "View.h"

namespace {

int32 Column(int32 position)
{
	return position % 3;
}

int32 Row(int32 position)
{
	return position / 3;
}

} // namespace

LibWindow::LibWindow(BRect frame, const char* title, window_look look, window_feel feel,
                     uint32 flags, uint32 workspaces)
    : BWindow(frame, title, look, feel, flags, workspaces), fScreenFrame(BScreen(this).Frame())
{
}

LibWindow::LibWindow(BRect frame, const char* title, window_type type, uint32 flags,
                     uint32 workspaces)
    : BWindow(frame, title, type, flags, workspaces), fScreenFrame(BScreen(this).Frame())
{
}

LibWindow::~LibWindow() {}

void LibWindow::SetPosition(const ScreenPosition& position, BWindow* reference)
{
	if (position < kTopLeft || position > kBottomRight)
		return;
	BRect screen = BScreen(this).Frame();
	if (reference == nullptr) {
		MoveTo(PositionOnScreen(position, screen));
		return;
	}
	MoveTo(PositionBeside(position, reference->Frame(), screen));
}

float LibWindow::TitleAllowance() const
{
	return Look() == B_TITLED_WINDOW_LOOK || Look() == B_DOCUMENT_WINDOW_LOOK ? 30.0f : 0.0f;
}

BPoint LibWindow::PositionOnScreen(const ScreenPosition& position, const BRect& screen) const
{
	float w = Bounds().Width();
	float h = Bounds().Height();
	const float lefts[3] = {10.0f, screen.right / 2 - w / 2, screen.right - w - 10};
	const float tops[3] = {TitleAllowance(), screen.bottom / 2 - h / 2, screen.bottom - h - 10};
	return BPoint(lefts[Column(position)], tops[Row(position)]);
}

BPoint LibWindow::PositionBeside(const ScreenPosition& position, const BRect& reference,
                                 const BRect& screen) const
{
	float w = Bounds().Width();
	float h = Bounds().Height();
	float t = TitleAllowance();
	const float lefts[3] = {reference.left - w - 20, (reference.left + reference.right) / 2 - w / 2,
	                        reference.right + 20};
	const float tops[3] = {reference.top - h - t, (reference.top + reference.bottom) / 2 - h / 2,
	                       reference.bottom + t + 10};
	BPoint where(lefts[Column(position)], tops[Row(position)]);
	// Keep the window on the screen.
	if (where.y < 0)
		where.y = 25;
	else if (where.y >= screen.bottom - h)
		where.y = screen.bottom - h - 5;
	if (where.x < 0)
		where.x = 2;
	else if (where.x >= screen.right - w)
		where.x = screen.right - w - 5;
	return where;
}

void LibWindow::Pop()
{
	if (!Lock())
		return;
	SetWorkspaces(B_CURRENT_WORKSPACE);
	if (IsHidden())
		Show();
	if (!IsFront())
		Activate(true);
	Unlock();
}

void LibWindow::Show()
{
	if (IsHidden())
		BWindow::Show();
}

void LibWindow::Hide()
{
	if (!IsHidden())
		BWindow::Hide();
}

void LibWindow::ScreenChanged(BRect frame, color_space space)
{
	BWindow::ScreenChanged(frame, space);
	if (frame == fScreenFrame)
		return;
	if (fScreenFrame.Width() > 0 && fScreenFrame.Height() > 0) {
		BPoint where = Frame().LeftTop();
		where.x = where.x * frame.Width() / fScreenFrame.Width();
		where.y = where.y * frame.Height() / fScreenFrame.Height();
		MoveTo(where);
	}
	fScreenFrame = frame;
}

bool LibWindow::IsHelpKey(const BMessage* message)
{
	if (message == nullptr || message->what != B_KEY_DOWN)
		return false;
	int32 modifiers = 0;
	int32 key = 0;
	message->FindInt32("modifiers", &modifiers);
	message->FindInt32("key", &key);
	return (modifiers & B_SHIFT_KEY) != 0 && key == B_F1_KEY;
}

// Key presses go to the focus view without passing MessageReceived, so the
// help key is looked for here as well.
void LibWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (IsHelpKey(message) && be_app != nullptr) {
		BMessage request(LIB_HELP_REQUEST);
		MakeHelpRequest(request);
		be_app->PostMessage(&request);
	}
	BWindow::DispatchMessage(message, handler);
}

void LibWindow::MessageReceived(BMessage* message)
{
	if (IsHelpKey(message) && be_app != nullptr) {
		BMessage request(LIB_HELP_REQUEST);
		MakeHelpRequest(request);
		be_app->PostMessage(&request);
	}
	BWindow::MessageReceived(message);
}

bool LibWindow::InsertHelpRequest(BView* view, BMessage& message)
{
	return false;
}

void LibWindow::MakeHelpRequest(BMessage& request)
{
	request.what = LIB_HELP_REQUEST;
	request.AddString("window", Title());
	BView* view = FindView(LastMousePosition());
	BView* under = view;
	for (; view != nullptr && view != RootView(); view = view->Parent())
		request.AddString("view", view->Name() != nullptr ? view->Name() : "");
	BMessage inserts;
	if (InsertHelpRequest(under, inserts))
		request.AddMessage("inserts", &inserts);
}

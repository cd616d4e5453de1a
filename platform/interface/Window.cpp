// BWindow: the window's looper, its views, keyboard routing and geometry.
#include "Window.h"

#include <cctype>
#include <cstring>

#include "Application.h"
#include "Button.h"
#include "InterfaceHost.h"
#include "Message.h"
#include "View.h"
#include "WindowHost.h"

namespace {

window_look look_for(window_type type)
{
	switch (type) {
		case B_MODAL_WINDOW: return B_MODAL_WINDOW_LOOK;
		case B_DOCUMENT_WINDOW: return B_DOCUMENT_WINDOW_LOOK;
		case B_BORDERED_WINDOW: return B_BORDERED_WINDOW_LOOK;
		case B_FLOATING_WINDOW: return B_FLOATING_WINDOW_LOOK;
		case B_UNTYPED_WINDOW: return B_NO_BORDER_WINDOW_LOOK;
		default: return B_TITLED_WINDOW_LOOK;
	}
}

window_feel feel_for(window_type type)
{
	if (type == B_MODAL_WINDOW)
		return B_MODAL_APP_WINDOW_FEEL;
	if (type == B_FLOATING_WINDOW)
		return B_FLOATING_APP_WINDOW_FEEL;
	return B_NORMAL_WINDOW_FEEL;
}

// The shortcut key as stored: lower case, so Alt+W and Alt+Shift+W match.
uint32 shortcut_key(uint32 key)
{
	return key < 128 ? uint32(tolower(int(key))) : key;
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
    : BLooper(title), fType(type), fLook(look_for(type)), fFeel(feel_for(type))
{
	Init(frame, title, flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32 workspace)
    : BLooper(title), fType(B_UNTYPED_WINDOW), fLook(look), fFeel(feel)
{
	if (look == B_TITLED_WINDOW_LOOK && feel == B_NORMAL_WINDOW_FEEL)
		fType = B_TITLED_WINDOW;
	else if (look == B_DOCUMENT_WINDOW_LOOK)
		fType = B_DOCUMENT_WINDOW;
	else if (look == B_MODAL_WINDOW_LOOK)
		fType = B_MODAL_WINDOW;
	else if (look == B_BORDERED_WINDOW_LOOK)
		fType = B_BORDERED_WINDOW;
	else if (look == B_FLOATING_WINDOW_LOOK)
		fType = B_FLOATING_WINDOW;
	Init(frame, title, flags, workspace);
}

void BWindow::Init(BRect frame, const char* title, uint32 flags, uint32 workspace)
{
	fTitle = title != nullptr ? title : "";
	fFrame = frame;
	fFlags = flags;
	fWorkspaces = workspace;
	fHideLevel = 1;
	fMinimized = false;
	fActive = false;
	fUpdatePosted = false;
	fUpdatesDisabled = 0;
	fFocus = nullptr;
	fDefaultButton = nullptr;
	fPulseRate = 0;
	fPulseThread = -1;
	fMinWidth = 0;
	fMaxWidth = 32768;
	fMinHeight = 0;
	fMaxHeight = 32768;
	fMouseButtons = 0;
	fRoot = new BView(Bounds(), "top view", B_FOLLOW_ALL_SIDES, 0);
	fRoot->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fRoot->CallAttached(this);
	if ((flags & B_NOT_CLOSABLE) == 0)
		AddShortcut('W', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED));
	AddShortcut('Q', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED), be_app);
	fHost = std::make_shared<WindowHost>();
	fHost->window = this;
	InterfaceHost::Install();
	InterfaceHost::AddWindow(fHost);
}

BWindow::~BWindow()
{
	StopPulse();
	{
		std::lock_guard<std::mutex> guard(fHost->lock);
		fHost->window = nullptr;
	}
	InterfaceHost::WindowChanged(fHost);
	fDefaultButton = nullptr;
	fFocus = nullptr;
	BView* root = fRoot;
	root->CallDetached();
	fRoot = nullptr;
	delete root;
	for (Shortcut& shortcut : fShortcuts)
		delete shortcut.message;
	fShortcuts.clear();
}

void BWindow::Quit()
{
	if ((fFlags & B_QUIT_ON_WINDOW_CLOSE) != 0 && be_app != nullptr)
		be_app->PostMessage(B_QUIT_REQUESTED);
	if (!IsLocked())
		Lock();
	if (fHideLevel <= 0) {
		fHideLevel = 1;
		RequestSync();
	}
	BLooper::Quit();
}

bool BWindow::QuitRequested()
{
	return true;
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == nullptr)
		return;
	switch (message->what) {
		case B_KEY_DOWN: HandleKeyDown(message); return;
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED: HandleMouse(message, handler); return;
		case B_WINDOW_RESIZED: HandleWindowResized(message); return;
		case B_WINDOW_MOVED: HandleWindowMoved(message); return;
		case B_WINDOW_ACTIVATED:
			if (handler == this) {
				fActive = message->FindBool("active");
				WindowActivated(fActive);
				return;
			}
			break;
		case B_SCREEN_CHANGED:
			if (handler == this) {
				ScreenChanged(message->FindRect("frame"), color_space(message->FindInt32("mode")));
				return;
			}
			break;
		case B_PULSE: HandlePulse(); return;
		case B_VIEW_UPDATE_PENDING:
			fUpdatePosted = false;
			UpdateIfNeeded();
			return;
		default: break;
	}
	BLooper::DispatchMessage(message, handler);
}

void BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void BWindow::HandleKeyDown(BMessage* message)
{
	if (HandleShortcut(message))
		return;
	const char* bytes = nullptr;
	if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr)
		bytes = "";
	bool enter = bytes[0] == B_ENTER && bytes[1] == '\0';
	if (enter && fDefaultButton != nullptr && fDefaultButton->IsEnabled() &&
	    !fDefaultButton->IsHidden()) {
		fDefaultButton->Invoke();
		return;
	}
	if (fFocus != nullptr)
		fFocus->KeyDown(bytes, int32(strlen(bytes)));
}

bool BWindow::HandleShortcut(BMessage* message)
{
	int32 mods = message->FindInt32("modifiers");
	if ((mods & B_COMMAND_KEY) == 0)
		return false;
	int32 key = message->FindInt32("raw_char");
	if (key == 0) {
		const char* bytes = message->FindString("bytes");
		key = bytes != nullptr ? uint8(bytes[0]) : 0;
	}
	for (const Shortcut& shortcut : fShortcuts) {
		if (shortcut.key != shortcut_key(uint32(key)))
			continue;
		if (shortcut.target != nullptr && shortcut.target->Looper() != nullptr &&
		    shortcut.target->Looper() != this) {
			shortcut.target->Looper()->PostMessage(shortcut.message, shortcut.target);
		} else {
			PostMessage(shortcut.message, shortcut.target != nullptr ? shortcut.target : this);
		}
		return true;
	}
	return false;
}

void BWindow::HandleMouse(BMessage* message, BHandler* handler)
{
	BPoint where;
	if (message->FindPoint("be:window_where", &where) == B_OK)
		fMousePosition = where;
	int32 buttons = 0;
	if (message->FindInt32("buttons", &buttons) == B_OK)
		fMouseButtons = uint32(buttons);
	BView* view = dynamic_cast<BView*>(handler);
	if (view == nullptr || view->Window() != this)
		view = FindView(fMousePosition);
	if (view == nullptr)
		return;
	BPoint local = view->ConvertFromWindow(fMousePosition);
	if (message->what == B_MOUSE_DOWN)
		view->MouseDown(local);
	else if (message->what == B_MOUSE_UP)
		view->MouseUp(local);
	else
		view->MouseMoved(local, uint32(message->FindInt32("be:transit")), nullptr);
}

void BWindow::HandleWindowResized(BMessage* message)
{
	float width = 0;
	float height = 0;
	if (message->FindFloat("width", &width) != B_OK ||
	    message->FindFloat("height", &height) != B_OK)
		return;
	ApplySize(width, height);
}

void BWindow::HandleWindowMoved(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) != B_OK || where == fFrame.LeftTop())
		return;
	fFrame.OffsetTo(where.x, where.y);
	FrameMoved(where);
}

void BWindow::HandlePulse()
{
	if (fRoot != nullptr)
		PulseViews(fRoot);
}

void BWindow::PulseViews(BView* view)
{
	if ((view->Flags() & B_PULSE_NEEDED) != 0)
		view->Pulse();
	for (int32 i = 0; i < view->CountChildren(); i++)
		PulseViews(view->ChildAt(i));
}

void BWindow::Show()
{
	bool wasRun = WasRun();
	if (wasRun)
		Lock();
	fHideLevel--;
	if (fHideLevel == 0) {
		fRoot->Invalidate();
		RequestSync();
	}
	if (wasRun)
		Unlock();
	else
		Run();
}

void BWindow::Hide()
{
	bool wasRun = WasRun();
	if (wasRun)
		Lock();
	fHideLevel++;
	RequestSync();
	if (wasRun)
		Unlock();
}

void BWindow::Minimize(bool minimize)
{
	fMinimized = minimize;
	RequestSync();
}

void BWindow::Activate(bool active)
{
	fActive = active;
	RequestSync();
}

bool BWindow::IsFront() const
{
	return fActive;
}

void BWindow::FrameMoved(BPoint newPosition) {}
void BWindow::FrameResized(float newWidth, float newHeight) {}
void BWindow::WindowActivated(bool active) {}
void BWindow::ScreenChanged(BRect screenFrame, color_space depth) {}
void BWindow::WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces) {}
void BWindow::MenusBeginning() {}

void BWindow::AddChild(BView* child, BView* before)
{
	fRoot->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
	return fRoot->RemoveChild(child);
}

int32 BWindow::CountChildren() const
{
	return fRoot->CountChildren();
}

BView* BWindow::ChildAt(int32 index) const
{
	return fRoot->ChildAt(index);
}

BView* BWindow::FindView(const char* name) const
{
	return fRoot != nullptr ? fRoot->FindView(name) : nullptr;
}

namespace {

BView* deepest_at(BView* view, BPoint point)
{
	for (int32 i = view->CountChildren() - 1; i >= 0; i--) {
		BView* child = view->ChildAt(i);
		if (child->HideLevel() > 0 || !child->Frame().Contains(point))
			continue;
		return deepest_at(child, child->ConvertFromParent(point));
	}
	return view;
}

} // namespace

BView* BWindow::FindView(BPoint point) const
{
	if (fRoot == nullptr || !Bounds().Contains(point))
		return nullptr;
	BView* view = deepest_at(fRoot, point);
	return view != fRoot ? view : nullptr;
}

void BWindow::SetFocusView(BView* view)
{
	if (view == fFocus)
		return;
	fFocus = view;
	RequestSync();
}

BRect BWindow::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void BWindow::MoveTo(BPoint where)
{
	if (where == fFrame.LeftTop())
		return;
	fFrame.OffsetTo(where.x, where.y);
	FrameMoved(where);
	RequestSync();
}

void BWindow::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.LeftTop() + BPoint(dx, dy));
}

void BWindow::ResizeTo(float width, float height)
{
	ApplySize(width, height);
}

void BWindow::ResizeBy(float dx, float dy)
{
	ApplySize(fFrame.Width() + dx, fFrame.Height() + dy);
}

void BWindow::ApplySize(float width, float height)
{
	width = std::min(std::max(width, fMinWidth), fMaxWidth);
	height = std::min(std::max(height, fMinHeight), fMaxHeight);
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	fRoot->ResizeTo(width, height);
	FrameResized(width, height);
	RequestSync();
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	fMinWidth = minWidth;
	fMaxWidth = std::max(minWidth, maxWidth);
	fMinHeight = minHeight;
	fMaxHeight = std::max(minHeight, maxHeight);
	ApplySize(fFrame.Width(), fFrame.Height());
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
                            float* maxHeight) const
{
	if (minWidth != nullptr)
		*minWidth = fMinWidth;
	if (maxWidth != nullptr)
		*maxWidth = fMaxWidth;
	if (minHeight != nullptr)
		*minHeight = fMinHeight;
	if (maxHeight != nullptr)
		*maxHeight = fMaxHeight;
}

BPoint BWindow::ConvertToScreen(BPoint point) const
{
	return point + fFrame.LeftTop();
}

void BWindow::ConvertToScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertToScreen(*point);
}

BRect BWindow::ConvertToScreen(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.left, fFrame.top);
}

void BWindow::ConvertToScreen(BRect* rect) const
{
	if (rect != nullptr)
		*rect = ConvertToScreen(*rect);
}

BPoint BWindow::ConvertFromScreen(BPoint point) const
{
	return point - fFrame.LeftTop();
}

void BWindow::ConvertFromScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertFromScreen(*point);
}

void BWindow::SetTitle(const char* title)
{
	fTitle = title != nullptr ? title : "";
	SetName(fTitle.c_str());
	RequestSync();
}

status_t BWindow::SetType(window_type type)
{
	fType = type;
	fLook = look_for(type);
	fFeel = feel_for(type);
	RequestSync();
	return B_OK;
}

status_t BWindow::SetLook(window_look look)
{
	fLook = look;
	RequestSync();
	return B_OK;
}

status_t BWindow::SetFeel(window_feel feel)
{
	fFeel = feel;
	RequestSync();
	return B_OK;
}

status_t BWindow::SetFlags(uint32 flags)
{
	fFlags = flags;
	RequestSync();
	return B_OK;
}

void BWindow::SetWorkspaces(uint32 workspaces)
{
	fWorkspaces = workspaces;
}

bool BWindow::IsModal() const
{
	return fFeel == B_MODAL_APP_WINDOW_FEEL || fFeel == B_MODAL_SUBSET_WINDOW_FEEL ||
	       fFeel == B_MODAL_ALL_WINDOW_FEEL;
}

bool BWindow::IsFloating() const
{
	return fFeel == B_FLOATING_APP_WINDOW_FEEL || fFeel == B_FLOATING_SUBSET_WINDOW_FEEL ||
	       fFeel == B_FLOATING_ALL_WINDOW_FEEL;
}

void BWindow::SetDefaultButton(BButton* button)
{
	if (button == fDefaultButton)
		return;
	BButton* previous = fDefaultButton;
	fDefaultButton = button;
	if (previous != nullptr)
		previous->Invalidate();
	if (button != nullptr)
		button->Invalidate();
	RequestSync();
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message)
{
	AddShortcut(key, modifiers, message, this);
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target)
{
	if (message == nullptr)
		return;
	RemoveShortcut(key, modifiers);
	fShortcuts.push_back(Shortcut{shortcut_key(key), modifiers | B_COMMAND_KEY, message, target});
}

void BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
	for (auto it = fShortcuts.begin(); it != fShortcuts.end(); ++it) {
		if (it->key == shortcut_key(key)) {
			delete it->message;
			fShortcuts.erase(it);
			return;
		}
	}
}

bool BWindow::HasShortcut(uint32 key, uint32 modifiers) const
{
	for (const Shortcut& shortcut : fShortcuts) {
		if (shortcut.key == shortcut_key(key))
			return true;
	}
	return false;
}

void BWindow::SetPulseRate(bigtime_t rate)
{
	StopPulse();
	fPulseRate = rate > 0 ? rate : 0;
	if (fPulseRate == 0)
		return;
	fPulseThread = spawn_thread(PulseLoop, "window pulse", B_NORMAL_PRIORITY, this);
	if (fPulseThread >= 0)
		resume_thread(fPulseThread);
}

// Posts B_PULSE at the rate, never more than one waiting at a time.
int32 BWindow::PulseLoop(void* data)
{
	auto* window = static_cast<BWindow*>(data);
	bigtime_t rate = window->fPulseRate;
	while (snooze(rate) == B_OK) {
		if (!window->Queue().HasMessage(B_PULSE))
			window->PostMessage(B_PULSE);
	}
	return B_OK;
}

void BWindow::StopPulse()
{
	if (fPulseThread < 0)
		return;
	kill_thread(fPulseThread);
	wait_for_thread(fPulseThread, nullptr);
	fPulseThread = -1;
}

void BWindow::ViewNeedsDrawing(BView* view)
{
	if (fUpdatePosted || fUpdatesDisabled > 0)
		return;
	if (PostMessage(B_VIEW_UPDATE_PENDING) == B_OK)
		fUpdatePosted = true;
}

void BWindow::DrawPending(BView* view)
{
	if (view->NeedsDrawing())
		view->UpdateDrawing();
	for (int32 i = 0; i < view->CountChildren(); i++)
		DrawPending(view->ChildAt(i));
}

void BWindow::UpdateIfNeeded()
{
	if (fRoot == nullptr)
		return;
	DrawPending(fRoot);
	RequestSync();
}

bool BWindow::NeedsUpdate() const
{
	return fUpdatePosted;
}

void BWindow::DisableUpdates()
{
	fUpdatesDisabled++;
}

void BWindow::EnableUpdates()
{
	if (fUpdatesDisabled > 0 && --fUpdatesDisabled == 0)
		ViewNeedsDrawing(fRoot);
}

void BWindow::RequestSync()
{
	if (fHost != nullptr)
		InterfaceHost::WindowChanged(fHost);
}

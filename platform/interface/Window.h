// BWindow: a looper with its own thread that owns a tree of views; the main
// thread shows it through the window system.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GraphicsDefs.h"
#include "InterfaceDefs.h"
#include "Looper.h"
#include "Rect.h"

class BButton;
class BView;
struct WindowHost;

enum window_type {
	B_UNTYPED_WINDOW = 0,
	B_TITLED_WINDOW = 1,
	B_MODAL_WINDOW = 3,
	B_DOCUMENT_WINDOW = 11,
	B_BORDERED_WINDOW = 20,
	B_FLOATING_WINDOW = 21,
};

enum window_look {
	B_TITLED_WINDOW_LOOK = 1,
	B_MODAL_WINDOW_LOOK = 3,
	B_FLOATING_WINDOW_LOOK = 7,
	B_DOCUMENT_WINDOW_LOOK = 11,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_BORDERED_WINDOW_LOOK = 20,
};

enum window_feel {
	B_NORMAL_WINDOW_FEEL = 0,
	B_MODAL_APP_WINDOW_FEEL = 1,
	B_MODAL_SUBSET_WINDOW_FEEL = 2,
	B_MODAL_ALL_WINDOW_FEEL = 3,
	B_FLOATING_APP_WINDOW_FEEL = 4,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_ALL_WINDOW_FEEL = 6,
};

// Window flags.
enum : uint32 {
	B_NOT_MOVABLE = 0x00000001,
	B_NOT_RESIZABLE = 0x00000002,
	B_NOT_H_RESIZABLE = 0x00000004,
	B_NOT_V_RESIZABLE = 0x00000008,
	B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
	B_NOT_CLOSABLE = 0x00000020,
	B_NOT_ZOOMABLE = 0x00000040,
	B_AVOID_FRONT = 0x00000080,
	B_NO_WORKSPACE_ACTIVATION = 0x00000100,
	B_OUTLINE_RESIZE = 0x00001000,
	B_AVOID_FOCUS = 0x00002000,
	B_NOT_MINIMIZABLE = 0x00004000,
	B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};

class BWindow : public BLooper {
public:
	// `frame` is the content area in screen coordinates, both edges included.
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	~BWindow() override;

	// Closes the window and deletes it (from another thread: waits for it).
	void Quit() override;
	bool QuitRequested() override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;

	// Showing. The first Show starts the window's thread.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const { return fHideLevel > 0; }
	int32 HideLevel() const { return fHideLevel; }
	virtual void Minimize(bool minimize);
	bool IsMinimized() const { return fMinimized; }
	void Activate(bool active = true);
	bool IsActive() const { return fActive; }
	bool IsFront() const;

	// Hooks.
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void ScreenChanged(BRect screenFrame, color_space depth);
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void MenusBeginning();

	// Views.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	// The deepest visible view under a point of the window.
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const { return fFocus; }
	// Our addition: the view that holds every other; its frame is Bounds().
	BView* RootView() const { return fRoot; }

	// Geometry.
	BRect Frame() const { return fFrame; }
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void ResizeBy(float dx, float dy);
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BPoint* point) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertToScreen(BRect* rect) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;

	// Appearance.
	void SetTitle(const char* title);
	const char* Title() const { return fTitle.c_str(); }
	window_type Type() const { return fType; }
	status_t SetType(window_type type);
	window_look Look() const { return fLook; }
	status_t SetLook(window_look look);
	window_feel Feel() const { return fFeel; }
	status_t SetFeel(window_feel feel);
	uint32 Flags() const { return fFlags; }
	status_t SetFlags(uint32 flags);
	uint32 Workspaces() const { return fWorkspaces; }
	void SetWorkspaces(uint32 workspaces);
	bool IsModal() const;
	bool IsFloating() const;

	// Keyboard. Enter invokes the default button; Command (Alt) with a key
	// sends the shortcut's message.
	void SetDefaultButton(BButton* button);
	BButton* DefaultButton() const { return fDefaultButton; }
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message);
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target);
	void RemoveShortcut(uint32 key, uint32 modifiers);
	bool HasShortcut(uint32 key, uint32 modifiers) const;

	// Pulse: views with B_PULSE_NEEDED get Pulse at this rate (0: none).
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const { return fPulseRate; }

	// Drawing: runs Draw for the views asked to redraw, now.
	void UpdateIfNeeded();
	bool NeedsUpdate() const;
	void DisableUpdates();
	void EnableUpdates();

	// Our additions for the window system and the tests.
	// The last mouse position (window coordinates) and buttons the window saw.
	BPoint LastMousePosition() const { return fMousePosition; }
	uint32 LastMouseButtons() const { return fMouseButtons; }
	// Asks the main thread to show the window's current state.
	void RequestSync();
	// Called by views on this window when they need drawing.
	void ViewNeedsDrawing(BView* view);
	std::shared_ptr<WindowHost> Host() const { return fHost; }
	// Called by the window system (main thread) when the user moved or
	// resized the window or changed its activation.
	void SetFocusView(BView* view);

private:
	struct Shortcut {
		uint32 key;
		uint32 modifiers;
		BMessage* message;
		BHandler* target;
	};

	void Init(BRect frame, const char* title, uint32 flags, uint32 workspace);
	void HandleKeyDown(BMessage* message);
	bool HandleShortcut(BMessage* message);
	void HandleMouse(BMessage* message, BHandler* handler);
	void HandleWindowResized(BMessage* message);
	void HandleWindowMoved(BMessage* message);
	void HandlePulse();
	void PulseViews(BView* view);
	void DrawPending(BView* view);
	void StopPulse();
	static int32 PulseLoop(void* data);
	void ApplySize(float width, float height);

	std::string fTitle;
	BRect fFrame;
	window_type fType;
	window_look fLook;
	window_feel fFeel;
	uint32 fFlags;
	uint32 fWorkspaces;
	int32 fHideLevel;
	bool fMinimized;
	bool fActive;
	bool fUpdatePosted;
	int32 fUpdatesDisabled;
	BView* fRoot;
	BView* fFocus;
	BButton* fDefaultButton;
	std::vector<Shortcut> fShortcuts;
	bigtime_t fPulseRate;
	thread_id fPulseThread;
	float fMinWidth;
	float fMaxWidth;
	float fMinHeight;
	float fMaxHeight;
	BPoint fMousePosition;
	uint32 fMouseButtons;
	std::shared_ptr<WindowHost> fHost;
};

// Message the window posts itself to run the pending Draw calls.
enum : uint32 { B_VIEW_UPDATE_PENDING = '_UPP' };

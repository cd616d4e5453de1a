// LibWindow: a window that places itself relative to the screen or another
// window, keeps its place when the screen changes, and turns Shift-F1 into a
// help request for the view under the mouse.
#pragma once

#include "Window.h"

class BMessage;
class BView;

// The help request's code.
enum : uint32 { LIB_HELP_REQUEST = 'help' };

class LibWindow : public BWindow {
public:
	enum ScreenPosition {
		kTopLeft = 0,
		kTopCenter = 1,
		kTopRight = 2,
		kMiddleLeft = 3,
		kCenter = 4,
		kMiddleRight = 5,
		kBottomLeft = 6,
		kBottomCenter = 7,
		kBottomRight = 8,
	};

	LibWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	          uint32 workspaces = B_CURRENT_WORKSPACE);
	LibWindow(BRect frame, const char* title, window_type type, uint32 flags,
	          uint32 workspaces = B_CURRENT_WORKSPACE);
	~LibWindow() override;

	// Moves the window to a place on the screen, or beside `reference`.
	void SetPosition(const ScreenPosition& position, BWindow* reference = nullptr);
	// Brings the window to the current workspace, shown and in front.
	void Pop();

	void Show() override;
	void Hide() override;
	void ScreenChanged(BRect frame, color_space space) override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;
	// Lets a subclass add fields to the "inserts" message of a help request;
	// true when it added any.
	virtual bool InsertHelpRequest(BView* view, BMessage& message);

	// The help request for the view under the mouse, as posted to the
	// application on Shift-F1.
	void MakeHelpRequest(BMessage& request);
	// The screen frame the window last saw.
	BRect ScreenFrame() const { return fScreenFrame; }

private:
	static bool IsHelpKey(const BMessage* message);
	BPoint PositionOnScreen(const ScreenPosition& position, const BRect& screen) const;
	BPoint PositionBeside(const ScreenPosition& position, const BRect& reference,
	                      const BRect& screen) const;
	float TitleAllowance() const;

	BRect fScreenFrame;
};

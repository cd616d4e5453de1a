// Helpers of the toolkit tests: an application and windows whose queued
// messages a test can take, and the screen size the tests assume.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Application.h"
#include "LibWindow.h"
#include "Message.h"
#include "MessageQueue.h"
#include "Screen.h"

namespace toolkit_test {

// Takes every message waiting in a queue.
inline std::vector<BMessage> TakeAll(BMessageQueue& queue)
{
	std::vector<BMessage> messages;
	for (;;) {
		int32 target = 0;
		status_t status = B_OK;
		std::unique_ptr<BMessage> message(queue.NextMessage(&target, 0, &status));
		if (message == nullptr)
			return messages;
		messages.push_back(*message);
	}
}

inline std::vector<BMessage> OfCode(const std::vector<BMessage>& messages, uint32 what)
{
	std::vector<BMessage> found;
	for (const BMessage& message : messages) {
		if (message.what == what)
			found.push_back(message);
	}
	return found;
}

// An application that is never run: the tests read what was posted to it.
class TestApp : public BApplication {
public:
	TestApp() : BApplication("application/x-vnd.Vantry-ToolkitTest") {}
	std::vector<BMessage> Take() { return TakeAll(Queue()); }
	using BApplication::PulseRate;
};

// A window that is never run unless shown; the constructing thread holds it.
class TestWindow : public LibWindow {
public:
	explicit TestWindow(BRect frame = BRect(0, 0, 399, 299),
	                    window_look look = B_TITLED_WINDOW_LOOK)
	    : LibWindow(frame, "Test Window", look, B_NORMAL_WINDOW_FEEL, 0)
	{
	}
	std::vector<BMessage> Take() { return TakeAll(Queue()); }
	// Tells the window where the mouse is, as the window system does.
	void MouseAt(BPoint where, uint32 buttons = 0)
	{
		BMessage moved(B_MOUSE_MOVED);
		moved.AddPoint("be:window_where", where);
		moved.AddInt32("buttons", int32(buttons));
		moved.AddInt32("be:transit", B_INSIDE_VIEW);
		DispatchMessage(&moved, this);
	}
};

// Closes a window whatever its state.
inline void Close(BWindow* window)
{
	if (window == nullptr)
		return;
	if (!window->IsLocked())
		window->Lock();
	window->Quit();
}

struct WindowCloser {
	void operator()(BWindow* window) const { Close(window); }
};

template <typename T> using WindowPtr = std::unique_ptr<T, WindowCloser>;

const BRect kScreen(0, 0, 1023, 767);

// The tests assume the 1024 by 768 screen of a machine without a display.
inline bool UseTestScreen()
{
	BScreen::SetDefaultFrame(kScreen);
	return BScreen().Frame() == kScreen;
}

} // namespace toolkit_test

// Helpers for the interface kit's tests: a window that records the messages
// it gets, and waits with deadlines.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "Message.h"
#include "Window.h"

// A window (never drawn: no window system runs in unit tests) that keeps a
// copy of every message its MessageReceived gets.
class RecordingWindow : public BWindow {
public:
	RecordingWindow()
	    : BWindow(BRect(100, 50, 399, 249), "Recorder", B_TITLED_WINDOW, B_NOT_ZOOMABLE)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
		fArrived.notify_all();
	}

	// Waits until a message with `what` arrived (at most two seconds).
	bool WaitFor(uint32 what, BMessage* copy = nullptr)
	{
		std::unique_lock<std::mutex> guard(fLock);
		auto found = [&] {
			for (const BMessage& m : fMessages) {
				if (m.what == what) {
					if (copy != nullptr)
						*copy = m;
					return true;
				}
			}
			return false;
		};
		return fArrived.wait_for(guard, std::chrono::seconds(2), found);
	}

	int32 Count(uint32 what)
	{
		std::lock_guard<std::mutex> guard(fLock);
		int32 count = 0;
		for (const BMessage& m : fMessages)
			count += m.what == what ? 1 : 0;
		return count;
	}

	void Forget()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.clear();
	}

	// Runs `action` on the window's thread and waits for it, so the test sees
	// the state the window's thread left.
	template <class Action> void OnThread(Action action)
	{
		Lock();
		action();
		Unlock();
	}

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	std::vector<BMessage> fMessages;
};

// Deletes a shown window the way the platform wants: Quit under its lock.
inline void close_window(BWindow* window)
{
	window->Lock();
	window->Quit();
}

// WindowHost: what the window system keeps of one BWindow. The window's
// thread marks it changed; the main thread shows the window's latest state.
#pragma once

#include <atomic>
#include <mutex>

#include "Rect.h"
#include "SupportDefs.h"

class BWindow;

struct WindowHost {
	// Guards `window`, which the window's destructor clears.
	std::mutex lock;
	BWindow* window = nullptr;
	// Set by the window's thread when its state changed; cleared by the main
	// thread once it showed that state (the "latest value" mailbox).
	std::atomic<bool> changed{false};
	// The frame last shown and whether it is a main window (titled, neither
	// modal nor floating), for boxes to open centred on it. Under `lock`.
	BRect shownFrame;
	bool shownMain = false;
	// The window system's objects, touched only on the main thread.
	void* native = nullptr;
	uint64 serial = 0;
};

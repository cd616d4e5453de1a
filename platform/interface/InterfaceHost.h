// InterfaceHost: the bridge between the BeOS objects and the window system
// (FLTK) that runs on the main thread: the event loop, waking it, calls to be
// made there, and the event lines tests wait for.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Point.h"
#include "Rect.h"
#include "SupportDefs.h"

class BApplication;
class BMenu;
struct WindowHost;
struct _XDisplay;

class InterfaceHost {
public:
	// True when a display can be opened (DISPLAY set, the X libraries there
	// and the display reachable).
	static bool DisplayAvailable();
	// Why DisplayAvailable() is false, for a person to act on; empty when it
	// is true.
	static std::string NoDisplayReason();
	// The connection opened to find the display, for any thread to read its
	// fixed facts (size, depth) from; null when there is none or Xlib was
	// not readied for threads.
	static _XDisplay* SharedConnection();
	// Makes BApplication::Run run the window system's loop when a display is
	// there (the plain message loop otherwise). Done when the program starts;
	// harmless to call again.
	static void Install();
	// True while the window system's loop runs on the main thread.
	static bool IsRunning();
	static bool IsMainThread();

	// Registers a window; the main thread creates its native window on demand.
	static void AddWindow(const std::shared_ptr<WindowHost>& host);
	// Marks a window changed and wakes the main thread (at most one wake is
	// pending at a time, however many changes there are).
	static void WindowChanged(const std::shared_ptr<WindowHost>& host);
	// Wakes the main thread without a change.
	static void Wake();

	// Runs `function` on the main thread and waits for it; answers false
	// without running it when the loop does not run or the calling thread is
	// asked to stop. On the main thread it runs at once.
	static bool CallOnMainThread(const std::function<void()>& function);
	// Runs `function` on the main thread later, without waiting.
	static bool PostToMainThread(const std::function<void()>& function);
	// Runs the loop until `done` answers true (a modal wait on the main thread).
	static void RunNestedLoop(const std::function<bool()>& done);

	// The frame of the oldest main window on screen (titled, neither modal
	// nor floating); false when none is shown.
	static bool MainWindowFrame(BRect* frame);

	// Our addition: the desktop's GTK folder chooser, titled `title` and open
	// on `start`, when GTK is there to be loaded; waits for the answer. B_OK
	// with the folder in `chosen`, B_CANCELED, or B_NOT_SUPPORTED without GTK
	// or a running loop.
	static status_t ChooseFolderWithGtk(const char* title, const char* start, std::string* chosen);

	// Opens `menu` at a screen point and answers the index of the item chosen
	// (-1 for none). Main thread only.
	static int32 PopUp(const BMenu& menu, BPoint where);

	// Writes an event line "vantry-event <text>" to the standard output when
	// the environment variable VANTRY_EVENTS is 1, so tests can wait on it.
	static void Event(const char* format, ...) __attribute__((format(printf, 1, 2)));
	static bool EventsEnabled();

	// The loop BApplication::Run calls (the application's run loop hook).
	static void RunLoop(BApplication* app);
};

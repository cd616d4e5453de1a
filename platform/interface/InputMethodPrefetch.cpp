// Opening the input method beside the start-up, and handing it to FLTK.
#include "InputMethodPrefetch.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <clocale>
#include <mutex>
#include <thread>

#include "XLibraries.h"

namespace {

using OpenIM = XIM (*)(Display*, XrmDatabase, char*, char*);

OpenIM sRealOpenIM = nullptr;

struct Prefetch {
	std::mutex lock;
	std::thread thread;
	Display* display = nullptr;
	XIM method = nullptr;

	~Prefetch()
	{
		if (thread.joinable())
			thread.join();
	}
};

Prefetch& prefetch()
{
	static Prefetch state;
	return state;
}

// In XOpenIM's place: the first call for the display gets the method the
// thread opened; any other is passed on.
XIM open_im(Display* display, XrmDatabase database, char* name, char* className)
{
	Prefetch& state = prefetch();
	{
		std::lock_guard<std::mutex> guard(state.lock);
		if (state.thread.joinable() && display == state.display && database == nullptr &&
		    name == nullptr && className == nullptr) {
			state.thread.join();
			XIM method = state.method;
			state.method = nullptr;
			if (method != nullptr)
				return method;
		}
	}
	return sRealOpenIM(display, database, name, className);
}

} // namespace

bool InputMethodPrefetch::Prepare()
{
	if (sRealOpenIM != nullptr)
		return true;
	void* real = replace_x_function("XOpenIM", reinterpret_cast<void*>(&open_im));
	if (real == nullptr)
		return false;
	sRealOpenIM = reinterpret_cast<OpenIM>(real);
	// The thread and FLTK then share the connection.
	XInitThreads();
	return true;
}

void InputMethodPrefetch::Start(_XDisplay* display)
{
	if (sRealOpenIM == nullptr || display == nullptr)
		return;
	// What fl_open_display() does first: the method follows the locale.
	setlocale(LC_CTYPE, "");
	XSetLocaleModifiers("");
	Prefetch& state = prefetch();
	std::lock_guard<std::mutex> guard(state.lock);
	if (state.thread.joinable())
		return;
	state.display = display;
	state.thread = std::thread(
	        [&state, display] { state.method = sRealOpenIM(display, nullptr, nullptr, nullptr); });
}

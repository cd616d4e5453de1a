// Opening the input method after the first frame, and handing it to FLTK.
#include "DeferredInputMethod.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <clocale>
#include <mutex>
#include <thread>

#include "XLibraries.h"

namespace {

using OpenIM = XIM (*)(Display*, XrmDatabase, char*, char*);

OpenIM sRealOpenIM = nullptr;

struct Deferral {
	std::mutex lock;
	std::thread thread;
	Display* display = nullptr;
	// Until FLTK holds a method, its calls are answered here.
	bool deferring = false;
	bool opened = false;
	// Opened after the first frame, waiting for FLTK's next call.
	XIM method = nullptr;

	~Deferral()
	{
		if (thread.joinable())
			thread.join();
	}
};

Deferral& deferral()
{
	static Deferral state;
	return state;
}

// In XOpenIM's place. FLTK asks at start-up and again whenever the pointer
// enters a window while it has no method: before the first frame it gets
// none, then the one opened after it, once. Any other call is passed on.
XIM open_im(Display* display, XrmDatabase database, char* name, char* className)
{
	Deferral& state = deferral();
	{
		std::lock_guard<std::mutex> guard(state.lock);
		if (state.deferring && display == state.display && database == nullptr && name == nullptr &&
		    className == nullptr) {
			XIM method = state.method;
			if (method != nullptr) {
				state.method = nullptr;
				state.deferring = false;
			}
			return method;
		}
	}
	return sRealOpenIM(display, database, name, className);
}

} // namespace

bool DeferredInputMethod::Prepare()
{
	if (sRealOpenIM != nullptr)
		return true;
	void* real = replace_x_function("XOpenIM", reinterpret_cast<void*>(&open_im));
	if (real == nullptr)
		return false;
	sRealOpenIM = reinterpret_cast<OpenIM>(real);
	// The method is opened on a thread while FLTK uses the connection.
	XInitThreads();
	return true;
}

void DeferredInputMethod::Start(_XDisplay* display)
{
	if (sRealOpenIM == nullptr || display == nullptr)
		return;
	// What fl_open_display() does first: the method follows the locale.
	setlocale(LC_CTYPE, "");
	XSetLocaleModifiers("");
	Deferral& state = deferral();
	std::lock_guard<std::mutex> guard(state.lock);
	state.display = display;
	state.deferring = true;
}

void DeferredInputMethod::OpenNow()
{
	Deferral& state = deferral();
	std::lock_guard<std::mutex> guard(state.lock);
	if (state.display == nullptr || state.opened)
		return;
	state.opened = true;
	Display* display = state.display;
	state.thread = std::thread([display] {
		XIM method = sRealOpenIM(display, nullptr, nullptr, nullptr);
		Deferral& state = deferral();
		std::lock_guard<std::mutex> guard(state.lock);
		state.method = method;
	});
}

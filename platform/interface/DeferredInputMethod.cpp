// Opening the input method after the first frame, and handing it to FLTK.
#include "DeferredInputMethod.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <atomic>
#include <clocale>
#include <mutex>
#include <thread>

#include "InterfaceHost.h"
#include "XLibraries.h"

// FLTK's input context, used for every key it reads when set.
extern XIC fl_xim_ic;

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

// On the main thread, once the method is open: it waits for FLTK's next
// call, and meanwhile keys are read through an input context of the
// simplest style on FLTK's first window.
void install(XIM method)
{
	{
		Deferral& state = deferral();
		std::lock_guard<std::mutex> guard(state.lock);
		if (!state.deferring) {
			XCloseIM(method);
			return;
		}
		state.method = method;
	}
	Fl_Window* window = Fl::first_window();
	if (fl_xim_ic != nullptr || window == nullptr || !window->shown())
		return;
	const Window xid = fl_xid(window);
	XIC context = XCreateIC(method, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
	                        XNClientWindow, xid, XNFocusWindow, xid, nullptr);
	if (context == nullptr)
		return;
	fl_xim_ic = context;
	XSetICFocus(context);
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
		if (method == nullptr)
			return;
		if (!InterfaceHost::PostToMainThread([method] { install(method); }))
			XCloseIM(method);
	});
}

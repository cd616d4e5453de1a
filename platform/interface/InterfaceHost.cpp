// InterfaceHost: FLTK's loop on the main thread, the wake mailbox, calls made
// on the main thread, pop-up menus and the event lines for tests.
#include "InterfaceHost.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cmath>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "Application.h"
#include "DeferredInputMethod.h"
#include "FontSetup.h"
#include "HostNative.h"
#include "HostScale.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Screen.h"
#include "ThreadWait.h"
#include "Window.h"
#include "WindowAlertPresenter.h"
#include "WindowHost.h"
#include "XLibraries.h"

namespace {

// How often the main thread looks at the mailbox even without a wake.
const double kSyncInterval = 0.02;
// Messages of the application dispatched between two looks at the windows.
const int kMessagesPerRound = 64;

std::mutex sHostsLock;
std::vector<std::shared_ptr<WindowHost>> sHosts;
std::atomic<bool> sRunning{false};
std::atomic<bool> sWakePending{false};
std::atomic<thread_id> sMainThread{-1};
std::atomic<bool> sInstalled{false};
int sNestedDepth = 0;

// A function waiting to run on the main thread.
struct Call {
	enum State { kPending, kRunning, kDone, kCancelled };
	std::function<void()> function;
	std::mutex lock;
	std::condition_variable finished;
	State state = kPending;
	bool waited = false;
};

std::mutex sCallsLock;
std::deque<std::shared_ptr<Call>> sCalls;

void run_calls()
{
	for (;;) {
		std::shared_ptr<Call> call;
		{
			std::lock_guard<std::mutex> guard(sCallsLock);
			if (sCalls.empty())
				return;
			call = sCalls.front();
			sCalls.pop_front();
		}
		{
			std::lock_guard<std::mutex> guard(call->lock);
			if (call->state != Call::kPending)
				continue;
			call->state = Call::kRunning;
		}
		call->function();
		std::lock_guard<std::mutex> guard(call->lock);
		call->state = Call::kDone;
		call->finished.notify_all();
	}
}

void cancel_calls()
{
	std::lock_guard<std::mutex> guard(sCallsLock);
	for (auto& call : sCalls) {
		std::lock_guard<std::mutex> callGuard(call->lock);
		call->state = Call::kCancelled;
		call->finished.notify_all();
	}
	sCalls.clear();
}

// Shows the latest state of every changed window. A window whose thread holds
// its lock is left for the next round; the main thread never waits for one.
void sync_windows()
{
	std::vector<std::shared_ptr<WindowHost>> hosts;
	{
		std::lock_guard<std::mutex> guard(sHostsLock);
		hosts = sHosts;
	}
	for (const auto& host : hosts) {
		if (!host->changed.exchange(false))
			continue;
		std::unique_lock<std::mutex> guard(host->lock);
		BWindow* window = host->window;
		if (window == nullptr) {
			guard.unlock();
			host_destroy_native(*host);
			std::lock_guard<std::mutex> hostsGuard(sHostsLock);
			sHosts.erase(std::remove(sHosts.begin(), sHosts.end(), host), sHosts.end());
			continue;
		}
		if (window->LockWithTimeout(0) != B_OK) {
			host->changed = true;
			continue;
		}
		guard.unlock();
		host_sync_window(*host, *window);
		window->Unlock();
	}
}

void wake_from_queue(void*)
{
	InterfaceHost::Wake();
}

// One round of the loop: calls, windows, then some application messages.
bool pump(BApplication* app)
{
	sWakePending = false;
	run_calls();
	sync_windows();
	if (app == nullptr || sNestedDepth > 0)
		return true;
	for (int i = 0; i < kMessagesPerRound && app->IsMessageWaiting(); i++) {
		if (!app->DispatchNextMessage(0))
			return false;
	}
	return true;
}

// Quits the windows still open when the application's loop ends.
void quit_windows()
{
	std::vector<std::shared_ptr<WindowHost>> hosts;
	{
		std::lock_guard<std::mutex> guard(sHostsLock);
		hosts = sHosts;
	}
	for (const auto& host : hosts) {
		std::unique_lock<std::mutex> guard(host->lock);
		BWindow* window = host->window;
		if (window == nullptr)
			continue;
		if (window->LockWithTimeout(1000000) != B_OK)
			continue;
		guard.unlock();
		window->Quit();
	}
}

} // namespace

namespace {

// FLTK's own handlers, which fl_open_display sets only when it opens the
// connection itself: a protocol error is a warning, a lost server the end.
int x_error(Display* display, XErrorEvent* event)
{
	char request[128], text[128];
	snprintf(request, sizeof(request), "XRequest.%d", event->request_code);
	XGetErrorDatabaseText(display, "", request, request, text, sizeof(text));
	XGetErrorText(display, event->error_code, request, sizeof(request));
	Fl::warning("%s: %s 0x%lx", text, request, event->resourceid);
	return 0;
}

void ignore_warning(const char*, ...) {}

// A colour of the X resources ("Vantry.name", "*name"), as XParseColor reads it.
bool resource_color(Display* display, const char* name, rgb_color* color)
{
	const char* value = XGetDefault(display, "Vantry", name);
	XColor parsed;
	if (value == nullptr ||
	    !XParseColor(display, DefaultColormap(display, DefaultScreen(display)), value, &parsed))
		return false;
	*color = rgb_color{uint8(parsed.red >> 8), uint8(parsed.green >> 8), uint8(parsed.blue >> 8),
	                   255};
	return true;
}

// The desktop's selection colours, where its X resources name them; the
// text is white or black, whichever reads on the background, unless named.
void read_desktop_colors(Display* display)
{
	rgb_color background, text;
	if (!resource_color(display, "selectBackground", &background))
		return;
	set_ui_color(B_LIST_SELECTED_BACKGROUND_COLOR, background);
	const int luminance =
	        (299 * background.red + 587 * background.green + 114 * background.blue) / 1000;
	if (!resource_color(display, "selectForeground", &text))
		text = luminance < 150 ? rgb_color{255, 255, 255, 255} : rgb_color{0, 0, 0, 255};
	set_ui_color(B_LIST_SELECTED_ITEM_TEXT_COLOR, text);
}

int x_io_error(Display*)
{
	Fl::fatal("X I/O error");
	return 0;
}

// Whether a display answers, and why not; decided once. The connection that
// answered is kept for FLTK: opening a second one costs the start a round of
// setting up.
struct DisplayState {
	bool available = false;
	std::string reason;
	Display* connection = nullptr;
	bool threads = false;

	DisplayState()
	{
		const char* display = getenv("DISPLAY");
		const char* headless = getenv("VANTRY_HEADLESS");
		if (headless != nullptr && strcmp(headless, "1") == 0) {
			reason = "no display (VANTRY_HEADLESS is 1)";
			return;
		}
		if (display == nullptr || display[0] == '\0') {
			reason = "no display (DISPLAY is not set)";
			return;
		}
		// Text is measured long before the window shows: fontconfig's
		// set-up starts now, beside the X connection and the window's making.
		start_font_setup();
		std::string missing;
		if (!load_x_libraries(&missing)) {
			reason = "the X libraries are missing (" + missing + ")";
			return;
		}
		const bool deferIM = DeferredInputMethod::Prepare();
		XSetIOErrorHandler(x_io_error);
		XSetErrorHandler(x_error);
		connection = XOpenDisplay(display);
		if (connection == nullptr) {
			reason = std::string("cannot open the display ") + display;
			return;
		}
		available = true;
		threads = deferIM;
		if (deferIM)
			DeferredInputMethod::Start(connection);
	}
};

const DisplayState& display_state()
{
	static DisplayState state;
	return state;
}

} // namespace

bool InterfaceHost::DisplayAvailable()
{
	return display_state().available;
}

std::string InterfaceHost::NoDisplayReason()
{
	return display_state().reason;
}

_XDisplay* InterfaceHost::SharedConnection()
{
	const DisplayState& state = display_state();
	return state.available && state.threads ? state.connection : nullptr;
}

void InterfaceHost::Install()
{
	if (sInstalled.exchange(true))
		return;
	BApplication::sRunLoopHook = &InterfaceHost::RunLoop;
}

namespace {

// Any program that links the window code runs its application's loop through
// FLTK when a display is there: windows are often made only in ReadyToRun.
const bool sInstalledAtStart = [] {
	InterfaceHost::Install();
	return true;
}();

} // namespace

bool InterfaceHost::IsRunning()
{
	return sRunning.load();
}

bool InterfaceHost::IsMainThread()
{
	thread_id main = sMainThread.load();
	return find_thread(nullptr) == (main >= 0 ? main : getpid());
}

void InterfaceHost::AddWindow(const std::shared_ptr<WindowHost>& host)
{
	std::lock_guard<std::mutex> guard(sHostsLock);
	sHosts.push_back(host);
}

bool InterfaceHost::MainWindowFrame(BRect* frame)
{
	std::lock_guard<std::mutex> guard(sHostsLock);
	for (const auto& host : sHosts) {
		std::lock_guard<std::mutex> hostGuard(host->lock);
		if (host->window == nullptr || !host->shownMain)
			continue;
		*frame = host->shownFrame;
		return true;
	}
	return false;
}

void InterfaceHost::WindowChanged(const std::shared_ptr<WindowHost>& host)
{
	host->changed = true;
	Wake();
}

void InterfaceHost::Wake()
{
	if (sRunning.load() && !sWakePending.exchange(true))
		Fl::awake();
}

bool InterfaceHost::CallOnMainThread(const std::function<void()>& function)
{
	if (IsMainThread()) {
		function();
		return true;
	}
	if (!sRunning.load())
		return false;
	auto call = std::make_shared<Call>();
	call->function = function;
	{
		std::lock_guard<std::mutex> guard(sCallsLock);
		sCalls.push_back(call);
	}
	Wake();
	ThreadWait wait(call->lock, call->finished);
	std::unique_lock<std::mutex> guard(call->lock);
	status_t status = wait.Wait(guard, B_INFINITE_TIMEOUT, [&] {
		return call->state == Call::kDone || call->state == Call::kCancelled;
	});
	if (status == B_INTERRUPTED && call->state == Call::kPending) {
		call->state = Call::kCancelled;
		return false;
	}
	// A call already running must finish before its caller's data goes away.
	call->finished.wait(
	        guard, [&] { return call->state == Call::kDone || call->state == Call::kCancelled; });
	return call->state == Call::kDone;
}

bool InterfaceHost::PostToMainThread(const std::function<void()>& function)
{
	if (!sRunning.load())
		return false;
	auto call = std::make_shared<Call>();
	call->function = function;
	{
		std::lock_guard<std::mutex> guard(sCallsLock);
		sCalls.push_back(call);
	}
	Wake();
	return true;
}

void InterfaceHost::RunNestedLoop(const std::function<bool()>& done)
{
	sNestedDepth++;
	while (!done() && sRunning.load()) {
		Fl::wait(kSyncInterval);
		pump(nullptr);
	}
	sNestedDepth--;
}

int32 InterfaceHost::PopUp(const BMenu& menu, BPoint where)
{
	std::vector<Fl_Menu_Item> items;
	std::vector<std::string> labels;
	labels.reserve(size_t(menu.CountItems()));
	for (int32 i = 0; i < menu.CountItems(); i++) {
		BMenuItem* item = menu.ItemAt(i);
		if (item->IsSeparator()) {
			if (!items.empty())
				items.back().flags |= FL_MENU_DIVIDER;
			continue;
		}
		labels.push_back(host_escape_label(item->Label()));
		Fl_Menu_Item entry = {};
		entry.text = labels.back().c_str();
		entry.user_data_ = reinterpret_cast<void*>(intptr_t(i));
		if (!item->IsEnabled())
			entry.flags |= FL_MENU_INACTIVE;
		if (item->IsMarked())
			entry.flags |= FL_MENU_VALUE | (menu.IsRadioMode() ? FL_MENU_RADIO : FL_MENU_TOGGLE);
		items.push_back(entry);
	}
	items.push_back(Fl_Menu_Item{});
	if (items.size() == 1)
		return -1;
	// Pop-up positions are relative to the window of the last event.
	int x = host_pixels(where.x) - (Fl::event_x_root() - Fl::event_x());
	int y = host_pixels(where.y) - (Fl::event_y_root() - Fl::event_y());
	const Fl_Menu_Item* picked = items[0].popup(x, y);
	InterfaceHost::Event("popup-closed %d",
	                     picked != nullptr ? int(reinterpret_cast<intptr_t>(picked->user_data()))
	                                       : -1);
	return picked != nullptr ? int32(reinterpret_cast<intptr_t>(picked->user_data())) : -1;
}

namespace {

// Whether GTK, 3 or 2, can be loaded, as FLTK's chooser loads it.
bool gtk_present()
{
	for (const char* name : {"libgtk-3.so.0", "libgtk-x11-2.0.so.0"}) {
		void* library = dlopen(name, RTLD_LAZY | RTLD_LOCAL);
		if (library == nullptr)
			continue;
		dlclose(library);
		return true;
	}
	return false;
}

} // namespace

status_t InterfaceHost::ChooseFolderWithGtk(const char* title, const char* start,
                                            std::string* chosen)
{
	if (chosen == nullptr || !IsRunning() || !gtk_present())
		return B_NOT_SUPPORTED;
	status_t result = B_NOT_SUPPORTED;
	CallOnMainThread([&] {
		Fl::option(Fl::OPTION_FNFC_USES_GTK, true);
		Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
		chooser.title(title);
		chooser.directory(start);
		Event("chooser-shown gtk");
		switch (chooser.show()) {
			case 0:
				*chosen = chooser.filename();
				result = B_OK;
				break;
			case 1: result = B_CANCELED; break;
			default: result = B_ERROR; break;
		}
	});
	return result;
}

bool InterfaceHost::EventsEnabled()
{
	static const bool enabled = [] {
		const char* value = getenv("VANTRY_EVENTS");
		return value != nullptr && strcmp(value, "1") == 0;
	}();
	return enabled;
}

void InterfaceHost::Event(const char* format, ...)
{
	if (!EventsEnabled())
		return;
	char line[1024];
	va_list args;
	va_start(args, format);
	vsnprintf(line, sizeof(line), format, args);
	va_end(args);
	static std::mutex lock;
	std::lock_guard<std::mutex> guard(lock);
	fprintf(stdout, "vantry-event %s\n", line);
	fflush(stdout);
}

// FLTK keeps its options in a file under the home folder, which it writes as
// soon as it has read them. They are read here, once, and what that made is
// removed: a program that is merely looked at leaves no file behind.
static void read_toolkit_options()
{
	const char* home = getenv("HOME");
	if (home == nullptr || home[0] != '/')
		return;
	const std::string folder = std::string(home) + "/.fltk";
	struct stat info;
	const bool existed = lstat(folder.c_str(), &info) == 0;
	Fl::option(Fl::OPTION_ARROW_FOCUS);
	if (existed)
		return;
	unlink((folder + "/fltk.org/fltk.prefs").c_str());
	rmdir((folder + "/fltk.org").c_str());
	rmdir(folder.c_str());
}

void InterfaceHost::RunLoop(BApplication* app)
{
	if (!DisplayAvailable()) {
		BApplication::RunMessageLoop(app);
		return;
	}
	sMainThread = find_thread(nullptr);
	Fl::lock();
	read_toolkit_options();
	// What fl_open_display() does before it opens a connection of its own.
	setlocale(LC_CTYPE, "");
	XSetLocaleModifiers("");
	{
		// FLTK warns when it gets no input method: ours comes after the
		// first frame (DeferredInputMethod).
		void (*warning)(const char*, ...) = Fl::warning;
		Fl::warning = ignore_warning;
		fl_open_display(display_state().connection);
		Fl::warning = warning;
	}
	wait_font_setup();
	host_setup_fonts();
	read_desktop_colors(fl_display);
	host_watch_x_events();
	// The screen in points; FLTK's own menus at the scale's size.
	BScreen::SetDefaultFrame(BRect(0, 0, host_points(Fl::w()) - 1, host_points(Fl::h()) - 1));
	FL_NORMAL_SIZE = Fl_Fontsize(std::lround(FL_NORMAL_SIZE * host_scale()));
	bool ownPresenter = AlertPresenter::Get() == nullptr;
	if (ownPresenter)
		AlertPresenter::Set(WindowAlertPresenter::Default());
	sRunning = true;
	app->SetMessageQueuedHook(wake_from_queue, nullptr);
	Event("loop-started");
	while (pump(app))
		Fl::wait(kSyncInterval);
	sRunning = false;
	app->SetMessageQueuedHook(nullptr, nullptr);
	cancel_calls();
	if (ownPresenter && AlertPresenter::Get() == WindowAlertPresenter::Default())
		AlertPresenter::Set(nullptr);
	{
		std::lock_guard<std::mutex> guard(sHostsLock);
		for (const auto& host : sHosts)
			host_destroy_native(*host);
	}
	Fl::check();
	// Fl::run and Fl::wait leave the lock held: let go before joining threads.
	Fl::unlock();
	quit_windows();
	Event("loop-ended");
}

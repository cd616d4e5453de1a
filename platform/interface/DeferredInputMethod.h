// The X input method opened after the first frame instead of before it:
// reading the compose table of a UTF-8 locale is the longest single step of
// FLTK's start, and no window of ours has text to compose before it shows.
// FLTK's calls of XOpenIM get no method until the first frame is drawn; the
// method is then opened on a thread and handed to FLTK at its next call,
// which FLTK makes when the pointer enters one of its windows. Until then
// keys are read without a method, which only composing would need.
#pragma once

struct _XDisplay;

class DeferredInputMethod {
public:
	// Before any other X call: whether FLTK's XOpenIM can be taken over; if
	// so, Xlib is readied for two threads.
	static bool Prepare();
	// Sets the locale as FLTK would and defers the method of `display`.
	// Only after Prepare() answered true.
	static void Start(_XDisplay* display);
	// Called on the main thread when a frame is complete; the first call
	// opens the method on a thread. Does nothing when nothing was deferred.
	static void OpenNow();
};

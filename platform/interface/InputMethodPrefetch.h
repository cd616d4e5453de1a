// The X input method opened on a thread of its own while the program starts:
// reading the compose table of a UTF-8 locale is the longest single step
// before the first frame, and it needs nothing the window does. FLTK's own
// XOpenIM call then receives the input method already open.
#pragma once

struct _XDisplay;

class InputMethodPrefetch {
public:
	// Before any other X call: whether FLTK's XOpenIM can be handed the
	// prefetched input method; if so, Xlib is readied for two threads.
	static bool Prepare();
	// Sets the locale as FLTK would, then opens the input method of `display`
	// on a thread. Only after Prepare() answered true.
	static void Start(_XDisplay* display);
};

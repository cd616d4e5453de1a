// The window system's side of a window (FLTK, main thread only): creating,
// updating and destroying the native window and its widgets, and replaying
// recorded drawing. Only the interface kit's own sources include this.
#pragma once

#include <string>

#include "SupportDefs.h"

class BWindow;
class DrawList;
struct WindowHost;

// Brings the native window in line with the window's state; the caller
// holds the window's lock.
void host_sync_window(WindowHost& host, BWindow& window);
// Destroys the native window of a window that is gone or closing.
void host_destroy_native(WindowHost& host);
// Replays drawing with the view's origin at (originX, originY) in the
// current native window.
void host_replay(const DrawList& drawing, int originX, int originY);
// Sets up the fonts and colours of the window system (once, main thread).
void host_setup_fonts();
// Hears the X events of the windows that FLTK does not pass on (once, main
// thread).
void host_watch_x_events();
// The label as FLTK shows it literally: '@' and '&' doubled.
std::string host_escape_label(const char* label);

/* A window manager's close box for the end-to-end tests: asks the window to
 * close with WM_DELETE_WINDOW, as a window manager does when its close box
 * is pressed.
 *
 *   xclose WINDOW-ID
 *
 * Exit status: 0 when the request was sent; 2 on bad arguments or no display. */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: xclose WINDOW-ID\n");
		return 2;
	}
	Display* display = XOpenDisplay(NULL);
	if (display == NULL) {
		fprintf(stderr, "xclose: no display\n");
		return 2;
	}
	XEvent event;
	memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
	event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
	event.xclient.data.l[1] = CurrentTime;
	XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
	XSync(display, False);
	XCloseDisplay(display);
	return 0;
}

/* A drag-and-drop source for the end-to-end tests: drops a text/uri-list on
 * the XDND-aware window under a screen point, as a file manager does.
 *
 *   xdnd_drop X Y URI...
 *
 * Exit status: 0 when the target accepted, read the list and finished; 2 on
 * bad arguments or no display; 3 when no XDND-aware window is at the point;
 * 4 when the target refused the drop; 5 when it did not answer in time. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static Display* display;
static Window source;
static Atom aware, selection, enter, position, status, drop, leave, finished, action_copy, uri_list;

static long now_ms(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

/* The next event, waiting until `deadline` (monotonic ms); 0 at the deadline. */
static int next_event(XEvent* event, long deadline)
{
	while (!XPending(display)) {
		long left = deadline - now_ms();
		if (left <= 0)
			return 0;
		struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
		poll(&fd, 1, (int)left);
	}
	XNextEvent(display, event);
	return 1;
}

/* The server's time, read from a property change on our own window. */
static Time server_time(void)
{
	XEvent event;
	XSelectInput(display, source, PropertyChangeMask);
	XChangeProperty(display, source, XA_WM_NAME, XA_STRING, 8, PropModeAppend, NULL, 0);
	long deadline = now_ms() + 5000;
	while (next_event(&event, deadline)) {
		if (event.type == PropertyNotify && event.xproperty.window == source)
			return event.xproperty.time;
	}
	return CurrentTime;
}

/* The XDND version of `window`, or 0 when it takes no drops. */
static int xdnd_version(Window window)
{
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* data = NULL;
	int version = 0;
	if (XGetWindowProperty(display, window, aware, 0, 1, False, AnyPropertyType, &type, &format,
	                       &count, &after, &data) == Success &&
	    data != NULL && count == 1 && format == 32)
		version = (int)*(long*)data;
	if (data != NULL)
		XFree(data);
	return version;
}

static void send_client(Window target, Atom type, long l1, long l2, long l3, long l4)
{
	XEvent event;
	memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.display = display;
	event.xclient.window = target;
	event.xclient.message_type = type;
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)source;
	event.xclient.data.l[1] = l1;
	event.xclient.data.l[2] = l2;
	event.xclient.data.l[3] = l3;
	event.xclient.data.l[4] = l4;
	XSendEvent(display, target, False, NoEventMask, &event);
	XFlush(display);
}

/* Hands the list to whoever asks for the selection. */
static void answer_request(XSelectionRequestEvent* request, const char* list)
{
	XEvent reply;
	memset(&reply, 0, sizeof(reply));
	reply.xselection.type = SelectionNotify;
	reply.xselection.display = display;
	reply.xselection.requestor = request->requestor;
	reply.xselection.selection = request->selection;
	reply.xselection.target = request->target;
	reply.xselection.time = request->time;
	Atom property = request->property != None ? request->property : request->target;
	reply.xselection.property = None;
	if (request->selection == selection) {
		XChangeProperty(display, request->requestor, property, request->target, 8, PropModeReplace,
		                (const unsigned char*)list, (int)strlen(list));
		reply.xselection.property = property;
	}
	XSendEvent(display, request->requestor, False, NoEventMask, &reply);
	XFlush(display);
	fprintf(stderr, "xdnd_drop: sent %zu bytes as %s\n", strlen(list),
	        XGetAtomName(display, request->target));
}

int main(int argc, char** argv)
{
	if (argc < 4) {
		fprintf(stderr, "usage: xdnd_drop X Y URI...\n");
		return 2;
	}
	int x = atoi(argv[1]), y = atoi(argv[2]);
	size_t size = 1;
	for (int i = 3; i < argc; i++)
		size += strlen(argv[i]) + 2;
	char* list = calloc(size, 1);
	for (int i = 3; i < argc; i++) {
		strcat(list, argv[i]);
		strcat(list, "\r\n");
	}
	display = XOpenDisplay(NULL);
	if (display == NULL) {
		fprintf(stderr, "xdnd_drop: no display\n");
		return 2;
	}
	aware = XInternAtom(display, "XdndAware", False);
	selection = XInternAtom(display, "XdndSelection", False);
	enter = XInternAtom(display, "XdndEnter", False);
	position = XInternAtom(display, "XdndPosition", False);
	status = XInternAtom(display, "XdndStatus", False);
	drop = XInternAtom(display, "XdndDrop", False);
	leave = XInternAtom(display, "XdndLeave", False);
	finished = XInternAtom(display, "XdndFinished", False);
	action_copy = XInternAtom(display, "XdndActionCopy", False);
	uri_list = XInternAtom(display, "text/uri-list", False);
	Window root = DefaultRootWindow(display);
	source = XCreateSimpleWindow(display, root, -10, -10, 1, 1, 0, 0, 0);

	/* The innermost XDND-aware window under the point, walking down from the root. */
	Window target = None, at = root;
	int version = 0;
	for (;;) {
		int wx, wy;
		Window child = None;
		if (!XTranslateCoordinates(display, root, at, x, y, &wx, &wy, &child))
			break;
		int v = xdnd_version(at);
		if (v > 0) {
			target = at;
			version = v;
		}
		if (child == None)
			break;
		at = child;
	}
	if (target == None) {
		fprintf(stderr, "xdnd_drop: no XdndAware window at %d,%d\n", x, y);
		return 3;
	}
	if (version > 5)
		version = 5;
	Time time = server_time();
	XSetSelectionOwner(display, selection, source, time);
	if (XGetSelectionOwner(display, selection) != source) {
		fprintf(stderr, "xdnd_drop: could not own XdndSelection\n");
		return 2;
	}
	fprintf(stderr, "xdnd_drop: target 0x%lx, version %d\n", (unsigned long)target, version);
	send_client(target, enter, (long)version << 24, (long)uri_list, None, None);
	send_client(target, position, 0, ((long)x << 16) | (y & 0xffff), (long)time, (long)action_copy);

	XEvent event;
	long deadline = now_ms() + 10000;
	int accepted = -1;
	while (accepted < 0 && next_event(&event, deadline)) {
		if (event.type == ClientMessage && event.xclient.message_type == status)
			accepted = (event.xclient.data.l[1] & 1) != 0;
		else if (event.type == SelectionRequest)
			answer_request(&event.xselectionrequest, list);
	}
	if (accepted < 0) {
		fprintf(stderr, "xdnd_drop: no XdndStatus\n");
		return 5;
	}
	if (!accepted) {
		send_client(target, leave, 0, 0, 0, 0);
		fprintf(stderr, "xdnd_drop: the target refused the drop\n");
		return 4;
	}
	send_client(target, drop, 0, (long)time, 0, 0);
	deadline = now_ms() + 10000;
	int answered = 0;
	while (next_event(&event, deadline)) {
		if (event.type == SelectionRequest) {
			answer_request(&event.xselectionrequest, list);
			answered = 1;
		} else if (event.type == ClientMessage && event.xclient.message_type == finished) {
			fprintf(stderr, "xdnd_drop: finished%s\n", answered ? "" : " without reading");
			XCloseDisplay(display);
			return answered ? 0 : 4;
		}
	}
	fprintf(stderr, "xdnd_drop: no XdndFinished\n");
	return 5;
}

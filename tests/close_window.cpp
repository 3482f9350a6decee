// Asks an X window to close the way a window manager does: a
// WM_DELETE_WINDOW message. Usage: close_window WINDOW-ID
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
		return 2;
	}
	char* end = NULL;
	Window w = strtoul(argv[1], &end, 0);
	if (!end || *end || !w) {
		fprintf(stderr, "'%s' is not a window id\n", argv[1]);
		return 2;
	}
	Display* d = XOpenDisplay(NULL);
	if (!d) {
		fprintf(stderr, "can't open the display\n");
		return 1;
	}
	XEvent e;
	memset(&e, 0, sizeof e);
	e.xclient.type = ClientMessage;
	e.xclient.window = w;
	e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
	e.xclient.format = 32;
	e.xclient.data.l[0] = XInternAtom(d, "WM_DELETE_WINDOW", False);
	e.xclient.data.l[1] = CurrentTime;
	XSendEvent(d, w, False, NoEventMask, &e);
	XSync(d, False);
	XCloseDisplay(d);
	return 0;
}

// The handheld program's platform: OpenGL ES 2 through EGL on SDL's X11
// window (sdlgles), SDL's window ids, the window type its compositor
// reads, the desktop captured before our window covers it, and the
// display kept awake (wake).
#include "handheld.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <sys/time.h>

#include "platform.h"
#include "sdlgles.h"
#include "wake.h"

const char* const platform_program_name = "quintaro-n9";
const bool platform_small_targets = true;
const bool platform_can_restart = true;
const bool platform_timers_fire_once = false;
SDL_Surface* screenshot_surface = NULL;

SDL_SysWMinfo sysinfo;

static const int desktop_w = 854;
static const int desktop_h = 480;

static bool get_wminfo()
{
	SDL_VERSION(&sysinfo.version);
	return SDL_GetWMInfo(&sysinfo) == 1;
}

void x11info()
{
	if (!get_wminfo())
		return;
	sysinfo.info.x11.lock_func();
	fprintf(stderr, "our window id: %08X\n", (unsigned)sysinfo.info.x11.window);
	fprintf(stderr, "our fswindow id: %08X\n", (unsigned)sysinfo.info.x11.fswindow);
	fprintf(stderr, "our wmwindow id: %08X\n", (unsigned)sysinfo.info.x11.wmwindow);
	sysinfo.info.x11.unlock_func();
}

void compositor_fix(int normal)
{
	if (!get_wminfo())
		return;
	Display* dpy = sysinfo.info.x11.display;
	sysinfo.info.x11.lock_func();
	const char* type = normal ? "_NET_WM_WINDOW_TYPE_NORMAL" : "_NET_WM_WINDOW_TYPE_DIALOG";
	Atom value = XInternAtom(dpy, type, False);
	fprintf(stderr, "setting the hildon atom\n");
	// Only a window manager creates the property's name; without one there
	// is no compositor to tell, and changing a property named None would
	// end the process with BadAtom.
	Atom property = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", True);
	if (property != None)
		XChangeProperty(dpy, sysinfo.info.x11.fswindow, property, XA_ATOM, 32, PropModeReplace,
			(unsigned char*)&value, 1);
	XFlush(dpy);
	sysinfo.info.x11.unlock_func();
}

static bool x_error_seen = false;

static int note_x_error(Display*, XErrorEvent*)
{
	x_error_seen = true;
	return 0;
}

// Reads the root window's top-left corner; null if the server refuses,
// e.g. a screen smaller than the corner (BadMatch), which Xlib's default
// handler would turn into the end of the process.
static XImage* read_root(Display* dpy)
{
	Window root = RootWindow(dpy, DefaultScreen(dpy));
	x_error_seen = false;
	XErrorHandler previous = XSetErrorHandler(note_x_error);
	XImage* image = XGetImage(dpy, root, 0, 0, desktop_w, desktop_h, AllPlanes, ZPixmap);
	XSync(dpy, False);
	XSetErrorHandler(previous);
	if (x_error_seen && image) {
		XDestroyImage(image);
		image = NULL;
	}
	return image;
}

void take_screenshot()
{
	screenshot_surface = SDL_CreateRGBSurface(SDL_SWSURFACE, desktop_w, desktop_h, 32, 0, 0, 0, 0);
	if (!screenshot_surface)
		return;
	SDL_FillRect(screenshot_surface, NULL, 0);
	Display* dpy = XOpenDisplay(NULL);
	if (!dpy)
		return;
	XImage* image = read_root(dpy);
	if (image) {
		// Red and blue swapped, so the copy lands as bytes red, green, blue.
		SDL_Surface* wrap = SDL_CreateRGBSurfaceFrom(image->data, image->width, image->height,
			image->bits_per_pixel, image->bytes_per_line,
			image->blue_mask, image->green_mask, image->red_mask, 0);
		if (wrap) {
			for (int y = 0; y < desktop_h; y++) {
				SDL_Rect src = { 0, (Sint16)y, desktop_w, 1 };
				SDL_Rect dst = { 0, (Sint16)(desktop_h - 1 - y), desktop_w, 1 };
				SDL_BlitSurface(wrap, &src, screenshot_surface, &dst);
			}
			SDL_FreeSurface(wrap);
		}
		XDestroyImage(image);
	}
	XCloseDisplay(dpy);
}

void platform_start()
{
	take_screenshot();  // the desktop as it was, before our window covers it
}

// Full screen at the display's own size on an OpenGL ES 2 context; the
// configured size only sets the picture's aspect.
SDL_Surface* platform_open_window(int, int, Uint32, int stencilsize)
{
	gles_set_attribute(SDL_GL_DEPTH_SIZE, 8);
	gles_set_attribute(SDL_GL_STENCIL_SIZE, stencilsize);
	gles_set_attribute(SDL_GL_DOUBLEBUFFER, 1);
	fprintf(stderr, "initting GLES\n");
	gles_set_attribute(GLES_ATTR_CONTEXT_MAJOR, 2);
	gles_set_attribute(GLES_ATTR_CONTEXT_MINOR, 0);
	gles_set_attribute(GLES_ATTR_SWAP_CONTROL, 1);
	SDL_Surface* screen = gles_set_video_mode(0, 0, 0, SDL_FULLSCREEN | SDL_OPENGLES);
	if (!screen) {
		no_visual("OpenGL ES 2");
		return NULL;
	}
	compositor_fix(0);  // a dialog until the demo has run two seconds
	SDL_ShowCursor(0);

	int major = 0;
	if (gles_get_attribute(GLES_ATTR_CONTEXT_MAJOR, &major) == 0)
		fprintf(stderr, "major version: %i\n", major);
	else
		fprintf(stderr, "major version error: %s\n", SDL_GetError());
	x11info();
	return screen;
}

int platform_gl_attribute(SDL_GLattr attr, int* value)
{
	return gles_get_attribute(attr, value);
}

void platform_swap()
{
	gles_swap_buffers();
}

void platform_shown()
{
	pysyhereilla();
}

float platform_frame_wait()
{
	return 0.02f;
}

void platform_yield()
{
}

// The device's clock: gettimeofday, in microseconds.
int64_t platform_now()
{
	struct timeval tv;
	gettimeofday(&tv, NULL);
	return ((int64_t)tv.tv_sec * 1000000 + tv.tv_usec) * 1000;
}

void platform_frame(float seconds)
{
	// Two seconds in, the user may swipe the demo away again.
	static bool swipe_disabled = true;
	if (seconds > 2.0f && swipe_disabled) {
		compositor_fix(1);
		swipe_disabled = false;
	}
}

void platform_tick()
{
}

void platform_music_start(bool)
{
}

bool platform_music_started()
{
	return false;
}

// The handheld program's X11 side: SDL's window ids, the window type its
// compositor reads, the desktop captured before our window covers it and
// the effect that shows that capture.
#include "handheld.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

#include "screenshot.h"
#include "shader.h"
#include "texture.h"

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

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"varying vec2 v_uv;\n"
	"void main()\n"
	"{\n"
	"\tgl_Position = vec4(pos, 0.0, 1.0);\n"
	"\tv_uv = pos * 0.5 + 0.5;\n"
	"}\n";

const char* fs =
	"precision highp float;\n"
	"varying vec2 v_uv;\n"
	"uniform sampler2D tex;\n"
	"void main()\n"
	"{\n"
	"\tgl_FragColor = texture2D(tex, v_uv);\n"
	"}\n";

shader_c shader;
texture_c shottex;
const GLfloat ssverts[12] = { -1, -1, 1, -1, -1, 1, 1, -1, 1, 1, -1, 1 };

class effect_c : public demoeffect_c {
public:
	void init()
	{
		shader.init(vs, fs);
		shottex.fromsurface(screenshot_surface, 0);
	}

	void draw()
	{
		shader.use();
		shader.texture("tex", 0, shottex);
		shader.array("pos", 2, GL_FLOAT, 8, ssverts);
		glDrawArrays(GL_TRIANGLES, 0, 6);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* screenshot = &effect;

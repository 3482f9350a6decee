#include "sdlgles.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <SDL/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

static const int attr_count = 19;
static int attrs[attr_count];
static bool attrs_set[attr_count];

static EGLDisplay egl_display = EGL_NO_DISPLAY;
static EGLConfig egl_config = NULL;
static EGLContext egl_context = EGL_NO_CONTEXT;
static EGLSurface egl_surface = EGL_NO_SURFACE;
static Display* x_display = NULL;
static Window gl_window = 0;

int gles_set_attribute(int attr, int value)
{
	if (attr < 0 || attr >= attr_count) {
		SDL_SetError("Unknown OpenGL attribute");
		return -1;
	}
	attrs[attr] = value;
	attrs_set[attr] = true;
	return 0;
}

static int config_attribute(EGLint name, int* value)
{
	EGLint v = 0;
	if (!eglGetConfigAttrib(egl_display, egl_config, name, &v)) {
		SDL_SetError("eglGetConfigAttrib failed");
		return -1;
	}
	*value = v;
	return 0;
}

int gles_get_attribute(int attr, int* value)
{
	if (egl_context == EGL_NO_CONTEXT) {
		SDL_SetError("OpenGL ES context not created");
		return -1;
	}
	switch (attr) {
	case SDL_GL_RED_SIZE:
		return config_attribute(EGL_RED_SIZE, value);
	case SDL_GL_GREEN_SIZE:
		return config_attribute(EGL_GREEN_SIZE, value);
	case SDL_GL_BLUE_SIZE:
		return config_attribute(EGL_BLUE_SIZE, value);
	case SDL_GL_ALPHA_SIZE:
		return config_attribute(EGL_ALPHA_SIZE, value);
	case SDL_GL_DEPTH_SIZE:
		return config_attribute(EGL_DEPTH_SIZE, value);
	case SDL_GL_STENCIL_SIZE:
		return config_attribute(EGL_STENCIL_SIZE, value);
	case SDL_GL_DOUBLEBUFFER:
		*value = 1;  // EGL window surfaces are back-buffered
		return 0;
	case GLES_ATTR_CONTEXT_MAJOR: {
		EGLint v = 0;
		if (!eglQueryContext(egl_display, egl_context, EGL_CONTEXT_CLIENT_VERSION, &v)) {
			SDL_SetError("eglQueryContext failed");
			return -1;
		}
		*value = v;
		return 0;
	}
	case GLES_ATTR_CONTEXT_MINOR:
	case GLES_ATTR_SWAP_CONTROL:
		*value = attrs[attr];
		return 0;
	default:
		SDL_SetError("Unknown OpenGL attribute");
		return -1;
	}
}

static int wanted(int attr, int fallback)
{
	return attrs_set[attr] ? attrs[attr] : fallback;
}

// Picks an ES 2 window config whose X visual is the window's own, so the
// drawing window can share it; otherwise the first that fits.
static bool choose_config(VisualID window_visual)
{
	const EGLint want[] = {
		EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
		EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT,
		EGL_RED_SIZE, 1, EGL_GREEN_SIZE, 1, EGL_BLUE_SIZE, 1,
		EGL_DEPTH_SIZE, wanted(SDL_GL_DEPTH_SIZE, 0),
		EGL_STENCIL_SIZE, wanted(SDL_GL_STENCIL_SIZE, 0),
		EGL_NONE};
	EGLConfig configs[64];
	EGLint count = 0;
	if (!eglChooseConfig(egl_display, want, configs, 64, &count) || count < 1)
		return false;
	egl_config = configs[0];
	for (int i = 0; i < count; i++) {
		EGLint id = 0;
		eglGetConfigAttrib(egl_display, configs[i], EGL_NATIVE_VISUAL_ID, &id);
		if ((VisualID)id == window_visual) {
			egl_config = configs[i];
			break;
		}
	}
	return true;
}

// SDL repaints its own (unused) software surface onto its window on every
// expose, which would wipe the GL picture; a child window of the same size
// with no background keeps it. It selects no input, so keys and the mouse
// still reach SDL's window.
static Window create_gl_window(Window parent, int w, int h)
{
	XWindowAttributes pa;
	XGetWindowAttributes(x_display, parent, &pa);
	EGLint id = 0;
	eglGetConfigAttrib(egl_display, egl_config, EGL_NATIVE_VISUAL_ID, &id);
	XSetWindowAttributes wa;
	unsigned long mask = CWBackPixmap | CWBorderPixel;
	wa.background_pixmap = None;
	wa.border_pixel = 0;
	Visual* visual = pa.visual;
	int depth = pa.depth;
	if ((VisualID)id != XVisualIDFromVisual(pa.visual)) {
		XVisualInfo tmpl;
		tmpl.visualid = (VisualID)id;
		int n = 0;
		XVisualInfo* vi = XGetVisualInfo(x_display, VisualIDMask, &tmpl, &n);
		if (vi && n > 0) {
			visual = vi->visual;
			depth = vi->depth;
			wa.colormap = XCreateColormap(x_display, parent, visual, AllocNone);
			mask |= CWColormap;
		}
		if (vi)
			XFree(vi);
	}
	Window win = XCreateWindow(x_display, parent, 0, 0, (unsigned)w, (unsigned)h, 0, depth,
		InputOutput, visual, mask, &wa);
	XMapWindow(x_display, win);
	return win;
}

// Returns null, or what failed.
static const char* open_context(Window parent, int w, int h)
{
	if (egl_display == EGL_NO_DISPLAY) {
		EGLDisplay d = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, x_display, NULL);
		if (d == EGL_NO_DISPLAY || !eglInitialize(d, NULL, NULL))
			return "eglInitialize failed";
		egl_display = d;
		eglBindAPI(EGL_OPENGL_ES_API);
	}
	XWindowAttributes pa;
	XGetWindowAttributes(x_display, parent, &pa);
	if (!choose_config(XVisualIDFromVisual(pa.visual)))
		return "no OpenGL ES 2 config";
	if (egl_surface != EGL_NO_SURFACE) {
		eglMakeCurrent(egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
		eglDestroySurface(egl_display, egl_surface);
		XDestroyWindow(x_display, gl_window);
	}
	gl_window = create_gl_window(parent, w, h);
	egl_surface = eglCreateWindowSurface(egl_display, egl_config, (EGLNativeWindowType)gl_window, NULL);
	if (egl_surface == EGL_NO_SURFACE)
		return "eglCreateWindowSurface failed";
	if (egl_context == EGL_NO_CONTEXT) {
		const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, wanted(GLES_ATTR_CONTEXT_MAJOR, 1), EGL_NONE};
		egl_context = eglCreateContext(egl_display, egl_config, EGL_NO_CONTEXT, version);
		if (egl_context == EGL_NO_CONTEXT)
			return "eglCreateContext failed";
	}
	if (!eglMakeCurrent(egl_display, egl_surface, egl_surface, egl_context))
		return "eglMakeCurrent failed";
	eglSwapInterval(egl_display, wanted(GLES_ATTR_SWAP_CONTROL, 0));
	return NULL;
}

static bool make_context(int w, int h)
{
	SDL_SysWMinfo info;
	SDL_VERSION(&info.version);
	if (SDL_GetWMInfo(&info) != 1) {
		SDL_SetError("no X11 window for OpenGL ES");
		return false;
	}
	x_display = info.info.x11.display;
	info.info.x11.lock_func();
	const char* failed = open_context(info.info.x11.window, w, h);
	XSync(x_display, False);
	info.info.x11.unlock_func();
	if (failed)
		SDL_SetError("%s", failed);
	return !failed;
}

SDL_Surface* gles_set_video_mode(int width, int height, int bpp, Uint32 flags)
{
	SDL_Surface* s = SDL_SetVideoMode(width, height, bpp, flags & ~SDL_OPENGLES);
	if (!s || !(flags & SDL_OPENGLES))
		return s;
	return make_context(s->w, s->h) ? s : NULL;
}

void gles_swap_buffers()
{
	if (egl_surface != EGL_NO_SURFACE)
		eglSwapBuffers(egl_display, egl_surface);
}

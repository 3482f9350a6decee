// The handheld layer against a real X server of the handheld's size: the
// desktop captured before SDL starts, the first frame drawn from it, and
// how the ES stand-in presents frames on SDL's window. Run by n9_desktop.sh,
// each group under its own Xvfb.
// gtest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include <SDL/SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <vector>

#include "gl.h"
#include "handheld.h"
#include "main.h"
#include "../content/effects.h"

namespace {

const int W = 854;
const int H = 480;

// The known desktop: red grows to the right, green downwards, blue is
// fixed; a white block marks the top-left corner, a yellow one the
// bottom-right.
void known_colour(int x, int y, uint8_t rgb[3])
{
	rgb[0] = (uint8_t)(x * 255 / (W - 1));
	rgb[1] = (uint8_t)(y * 255 / (H - 1));
	rgb[2] = 64;
	if (x < 120 && y < 80)
		rgb[0] = rgb[1] = rgb[2] = 255;
	if (x >= 700 && y >= 400) {
		rgb[0] = rgb[1] = 255;
		rgb[2] = 0;
	}
}

unsigned long x_pixel(XImage* im, const uint8_t rgb[3])
{
	return (rgb[0] * (im->red_mask / 255) & im->red_mask) |
		(rgb[1] * (im->green_mask / 255) & im->green_mask) |
		(rgb[2] * (im->blue_mask / 255) & im->blue_mask);
}

void x_rgb(XImage* im, unsigned long p, uint8_t rgb[3])
{
	rgb[0] = (uint8_t)((p & im->red_mask) / (im->red_mask / 255));
	rgb[1] = (uint8_t)((p & im->green_mask) / (im->green_mask / 255));
	rgb[2] = (uint8_t)((p & im->blue_mask) / (im->blue_mask / 255));
}

// Makes the known picture the root window's background; the server keeps
// it after we disconnect.
void paint_root()
{
	Display* dpy = XOpenDisplay(NULL);
	ASSERT_TRUE(dpy);
	int scr = DefaultScreen(dpy);
	Window root = RootWindow(dpy, scr);
	XImage* im = XGetImage(dpy, root, 0, 0, W, H, AllPlanes, ZPixmap);
	ASSERT_TRUE(im);
	for (int y = 0; y < H; y++)
		for (int x = 0; x < W; x++) {
			uint8_t rgb[3];
			known_colour(x, y, rgb);
			XPutPixel(im, x, y, x_pixel(im, rgb));
		}
	Pixmap pm = XCreatePixmap(dpy, root, W, H, DefaultDepth(dpy, scr));
	GC gc = XCreateGC(dpy, pm, 0, NULL);
	XPutImage(dpy, pm, gc, im, 0, 0, 0, 0, W, H);
	XSetWindowBackgroundPixmap(dpy, root, pm);
	XClearWindow(dpy, root);
	XFreeGC(dpy, gc);
	XFreePixmap(dpy, pm);
	XDestroyImage(im);
	XCloseDisplay(dpy);
}

// Compares a sample grid of the screen (top row first) with the colour
// function, channel by channel within tol.
template <class F>
void expect_screen(F colour, int tol)
{
	Display* dpy = XOpenDisplay(NULL);
	ASSERT_TRUE(dpy);
	XImage* im = XGetImage(dpy, RootWindow(dpy, DefaultScreen(dpy)), 0, 0, W, H, AllPlanes, ZPixmap);
	ASSERT_TRUE(im);
	int bad = 0;
	for (int y = 0; y < H; y += 7)
		for (int x = 0; x < W; x += 11) {
			uint8_t got[3], want[3];
			x_rgb(im, XGetPixel(im, x, y), got);
			colour(x, y, want);
			for (int c = 0; c < 3; c++)
				if (abs(got[c] - want[c]) > tol && bad++ < 5)
					ADD_FAILURE() << "screen (" << x << ", " << y << ") channel " << c << ": "
						<< (int)got[c] << " != " << (int)want[c];
		}
	XDestroyImage(im);
	XCloseDisplay(dpy);
}

// The same picture transposed in colour: green grows to the right.
void other_colour(int x, int y, uint8_t rgb[3])
{
	known_colour(x, y, rgb);
	uint8_t r = rgb[0];
	rgb[0] = rgb[1];
	rgb[1] = r;
}

SDL_Surface* surface_of(void (*colour)(int, int, uint8_t*))
{
	SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 32, 0, 0, 0, 0);
	for (int y = 0; y < H; y++)
		for (int x = 0; x < W; x++) {
			uint8_t* p = (uint8_t*)s->pixels + (H - 1 - y) * s->pitch + x * 4;
			colour(x, y, p);
			p[3] = 0;
		}
	return s;
}

}  // namespace

TEST(desktop, capture_is_bottom_row_first_rgb_then_first_frame_and_screen_show_it)
{
	paint_root();
	take_screenshot();
	ASSERT_TRUE(screenshot_surface);
	ASSERT_EQ(screenshot_surface->w, W);
	ASSERT_EQ(screenshot_surface->h, H);
	int bad = 0;
	for (int y = 0; y < H; y++)
		for (int x = 0; x < W; x++) {
			const uint8_t* p = (const uint8_t*)screenshot_surface->pixels +
				(H - 1 - y) * screenshot_surface->pitch + x * 4;
			uint8_t want[3];
			known_colour(x, y, want);
			if ((p[0] != want[0] || p[1] != want[1] || p[2] != want[2] || p[3] != 0) && bad++ < 5)
				ADD_FAILURE() << "capture (" << x << ", " << y << "): " << (int)p[0] << " "
					<< (int)p[1] << " " << (int)p[2] << " " << (int)p[3];
		}

	ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0);
	config_stencilsize = 8;
	ASSERT_EQ(init_gl(), 0);
	ASSERT_EQ(video_w, W);
	ASSERT_EQ(video_h, H);
	screenshot->init();
	screenshot->draw();
	// The frame as drawn, read back before the swap (bottom row first).
	std::vector<uint8_t> px(W * H * 4);
	glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
	bad = 0;
	for (int y = 0; y < H; y += 3)
		for (int x = 0; x < W; x += 5) {
			const uint8_t* p = &px[((H - 1 - y) * W + x) * 4];
			uint8_t want[3];
			known_colour(x, y, want);
			for (int c = 0; c < 3; c++)
				if (abs(p[c] - want[c]) > 1 && bad++ < 5)
					ADD_FAILURE() << "first frame (" << x << ", " << y << ") channel " << c;
		}
	swap_buffers();

	// A different picture through the program's first picture, so the
	// screen cannot be showing the root behind the window: it reaches the
	// X window upright.
	SDL_FreeSurface(screenshot_surface);
	screenshot_surface = surface_of(other_colour);
	first_picture = screenshot;
	show_first_picture();
	glFinish();
	expect_screen(other_colour, 1);

	// SDL repaints its own window on expose; the picture must survive it.
	SDL_SysWMinfo info;
	SDL_VERSION(&info.version);
	ASSERT_EQ(SDL_GetWMInfo(&info), 1);
	info.info.x11.lock_func();
	XClearArea(info.info.x11.display, info.info.x11.window, 0, 0, 0, 0, True);
	XSync(info.info.x11.display, False);
	info.info.x11.unlock_func();
	for (int i = 0; i < 10; i++) {
		SDL_PumpEvents();
		SDL_Delay(20);
	}
	expect_screen(other_colour, 1);
}

// A root window smaller than the capture: no image, a black surface, and
// the process lives on.
TEST(small_screen, capture_stays_black)
{
	take_screenshot();
	ASSERT_TRUE(screenshot_surface);
	ASSERT_EQ(screenshot_surface->w, W);
	ASSERT_EQ(screenshot_surface->h, H);
	for (int y = 0; y < H; y++)
		for (int x = 0; x < W * 4; x++)
			ASSERT_EQ(((const uint8_t*)screenshot_surface->pixels)[y * screenshot_surface->pitch + x], 0);
}

// Leaves the known picture on the root for the whole-program check.
TEST(paint, root)
{
	paint_root();
}

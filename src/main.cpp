// Runtime frame: command line, window and GL context, the per-frame event
// pump and pacing, and the start-up sequence that runs the demo's hooks.
#include "main.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "capture.h"
#include "check.h"
#include "gl.h"
#include "glcheck.h"
#include "music.h"
#include "retime.h"
#include "options.h"
#ifdef QVD_HANDHELD
#include "handheld.h"
#include "sdlgles.h"
#include "wake.h"
#endif
#ifdef QVD_WEB
#include "web.h"
#endif

int config_width = 854;
int config_height = 480;
int config_videoflags = 0;
int config_otherflags = 1;
int config_stencilsize = 0;
float timeval_skip = 0.0f;
bool debugmode = false;
const char* demoname = NULL;
const char* song_file = NULL;
int video_w = 0;
int video_h = 0;
Uint8* keystate = NULL;
int mouserull[2] = { 0, 0 };
bool done_hint = false;

static SDL_Surface* screen = NULL;
static event_callback_t event_callbacks[max_event_callbacks];
static int cb_count = 0;

void set_event_callback(event_callback_t cb)
{
	if (cb_count >= max_event_callbacks) {
		fprintf(stderr, "too many event callbacks (%i), callback ignored\n", cb_count);
		return;
	}
	event_callbacks[cb_count++] = cb;
}

#ifdef QVD_HANDHELD
static int get_gl_attribute(int attr, int* value)
{
	return gles_get_attribute(attr, value);
}
#else
static int get_gl_attribute(int attr, int* value)
{
	return SDL_GL_GetAttribute((SDL_GLattr)attr, value);
}
#endif

static void print_gl_attribute(const char* format, int attr)
{
	int value = 0;
	if (get_gl_attribute(attr, &value) == 0)
		fprintf(stderr, format, value);
}

// The part of the set-up both builds share once the context exists.
static void report_gl_and_viewport()
{
	print_gl_attribute("depth size: %i\n", SDL_GL_DEPTH_SIZE);
	print_gl_attribute("stencil size: %i\n", SDL_GL_STENCIL_SIZE);
	print_gl_attribute("doublebuffer: %i\n", SDL_GL_DOUBLEBUFFER);
	fprintf(stderr, "screen res: %i, %i\n", screen->w, screen->h);
	printf("Vendor     : %s\n", (const char*)glGetString(GL_VENDOR));
	printf("Renderer   : %s\n", (const char*)glGetString(GL_RENDERER));
	printf("Version    : %s\n", (const char*)glGetString(GL_VERSION));
	printf("Extensions : %s\n", (const char*)glGetString(GL_EXTENSIONS));
	video_w = screen->w;
	video_h = screen->h;

	// Letterbox: keep the configured aspect at full width, centred.
	int ph = (int)(video_w * ((float)config_height / (float)config_width));
	fprintf(stderr, "viewport should be now %i, %i\n", video_w, video_h);
	glViewport(0, (int)((video_h - ph) / 2.0), video_w, ph);
}

#ifdef QVD_HANDHELD
// Full screen at the display's own size on an OpenGL ES 2 context; the
// configured size only sets the picture's aspect.
int init_gl()
{
	if (screen)
		SDL_FreeSurface(screen);
	gles_set_attribute(SDL_GL_DEPTH_SIZE, 8);
	gles_set_attribute(SDL_GL_STENCIL_SIZE, config_stencilsize);
	gles_set_attribute(SDL_GL_DOUBLEBUFFER, 1);
	fprintf(stderr, "initting GLES\n");
	gles_set_attribute(GLES_ATTR_CONTEXT_MAJOR, 2);
	gles_set_attribute(GLES_ATTR_CONTEXT_MINOR, 0);
	gles_set_attribute(GLES_ATTR_SWAP_CONTROL, 1);
	screen = gles_set_video_mode(0, 0, 0, SDL_FULLSCREEN | SDL_OPENGLES);
	QVD_CHECK(screen);
	compositor_fix(0);  // a dialog until the demo has run two seconds
	SDL_ShowCursor(0);

	int major = 0;
	if (gles_get_attribute(GLES_ATTR_CONTEXT_MAJOR, &major) == 0)
		fprintf(stderr, "major version: %i\n", major);
	else
		fprintf(stderr, "major version error: %s\n", SDL_GetError());
	x11info();
	report_gl_and_viewport();
	return 0;
}
#else
int init_gl()
{
	if (screen)
		SDL_FreeSurface(screen);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, config_stencilsize);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	screen = SDL_SetVideoMode(config_width, config_height, 0, config_videoflags | SDL_OPENGL);
	QVD_CHECK(screen);
	SDL_ShowCursor(0);

#ifndef QVD_WEB
	// WebGL has its entry points and point sprites built in.
	GLenum err = glewInit();
	if (err != GLEW_OK) {
		fprintf(stderr, "couldn't initialise GLEW: %s\n", (const char*)glewGetErrorString(err));
		return 1;
	}
	// Point effects set gl_PointSize in their vertex shaders.
	glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
	glEnable(GL_POINT_SPRITE);
#endif

	report_gl_and_viewport();
	return 0;
}
#endif

// Every buffer swap of the program goes through here.
void swap_buffers()
{
#ifdef QVD_HANDHELD
	gles_swap_buffers();
#else
	SDL_GL_SwapBuffers();
#endif
}

void system_crap_pre()
{
	SDL_Event e;
	while (SDL_PollEvent(&e)) {
	}
	swap_buffers();
#ifdef QVD_WEB
	web_yield();
#endif
}

static void builtin_bindings(SDL_Event* e)
{
	switch (e->type) {
	case SDL_KEYDOWN:
		if (e->key.keysym.sym == SDLK_z)
			fprintf(stderr, "timeval: %.3f beatgrid: %.3f\n", timeval, beatgrid_calc(timeval));
		else if (e->key.keysym.sym == SDLK_ESCAPE)
			done_hint = true;
		break;
	case SDL_MOUSEBUTTONDOWN:
		if (e->button.button == SDL_BUTTON_WHEELUP)
			mouserull[0]++;
		else if (e->button.button == SDL_BUTTON_WHEELDOWN)
			mouserull[1]++;
		break;
	case SDL_QUIT:
		done_hint = true;
		break;
	case SDL_VIDEORESIZE:
		config_width = e->resize.w;
		config_height = e->resize.h;
		fprintf(stderr, "resize event.\n");
		screenmode_changetime = timeval + 0.1f;
		screenmode_needschange = true;
		break;
	default:
		break;
	}
}

static void pump_events()
{
	SDL_Event e;
	while (SDL_PollEvent(&e)) {
		for (int i = 0; i < cb_count; i++)
			if (event_callbacks[i])
				event_callbacks[i](&e);
		builtin_bindings(&e);
	}
}

// Swap, spin until a 0.02 s period is over (in a browser: wait for its
// display), then advance the clock.
static void realtime_end_frame()
{
	swap_buffers();
#ifdef QVD_WEB
	web_frame_wait();
	const float shortest_frame = 0.0f;
#else
	const float shortest_frame = 0.02f;
#endif
	do {
		getqvdtime(&frameend);
		qvdtime_t d;
		qvdtimersub(&frameend, &framestart, &d);
		frametime = (float)tvtof(&d);
	} while (frametime < shortest_frame);
	frameskip = frameskip_advance(&frameskiptime, frametime);
	framestart = frameend;
	framecounter += 1;
	framecounter_logic += frameskip;
	qvdtime_t sincestart;
	qvdtimersub(&framestart, &timestart, &sincestart);
	timeval = (float)tvtof(&sincestart) + timeval_skip;
	beatgrid = beatgrid_calc(timeval);
	sync_dispatcher();
}

void system_crap()
{
	if (frameskip > 0) {
		mouserull[0] = 0;
		mouserull[1] = 0;
	}
	gl_check_frame(timeval);
	pump_events();
	if (capture_clock()) {
		capture_end_frame();
#ifdef QVD_WEB
		web_yield();
#endif
	} else {
		realtime_end_frame();
		retime_frame();
	}
}

static Uint32 fps_tick(Uint32 interval, void* param)
{
	(void)interval;
	(void)param;
	int frames = framecounter.exchange(0);
	int steps = framecounter_logic.exchange(0);
	print_stats(frames, steps, timeval, beatgrid);
#ifdef QVD_WEB
	// The emulation's timers fire once.
	web_tick();
	SDL_AddTimer(2000, fps_tick, NULL);
#endif
	return 2000;
}

int runtime_main(int argc, char** argv)
{
	getqvdtime(&started_at);
	gl_check_init();
	demo_config();
	if (!parse_options(argc, argv))
		return 2;
	if (!capture_check())
		return 1;
#ifdef QVD_HANDHELD
	take_screenshot();  // the desktop as it was, before our window covers it
#endif

	if (!retime_start(argc, argv))
		return 2;
	// A recording opens no audio device, so it runs where there is no sound.
	Uint32 subsystems = SDL_INIT_TIMER | SDL_INIT_VIDEO | (capture_clock() ? 0 : SDL_INIT_AUDIO);
	// Only X gives SDL 1.2 a GL context; without it SDL would fall back to
	// a text-terminal driver that garbles the terminal and then fails.
	setenv("SDL_VIDEODRIVER", "x11", 0);
	int res = SDL_Init(subsystems);
	if (res != 0 && !SDL_WasInit(SDL_INIT_VIDEO)) {
		const char* display = getenv("DISPLAY");
		fprintf(stderr, "no X display could be opened (DISPLAY=%s); --capture under xvfb-run records without one\n",
			display ? display : "unset");
		return 1;
	}
	QVD_CHECK(res == 0);
	if (init_gl() != 0) {
		fprintf(stderr, "no OpenGL entry points, can't run\n");
		return 1;
	}
	getqvdtime(&gl_ready_at);
	keystate = SDL_GetKeyState(NULL);
#ifdef QVD_HANDHELD
	screenshot->init();
	screenshot->draw();  // the first picture is the captured desktop
#endif
	swap_buffers();
#ifdef QVD_HANDHELD
	pysyhereilla();
#endif
	time_init();
	SDL_AddTimer(2000, fps_tick, NULL);

	demo_init();
	demo_initgl();
	gl_check("while setting up");
	if (!demoname)
		demoname = "QVD Demobase";
	SDL_WM_SetCaption(demoname, demoname);

#ifdef QVD_WEB
	web_start(!capture_clock());  // a recording plays no sound: no click
#endif
	if (capture_clock()) {
		capture_start();
	} else {
		startmusic();
		time_init();
		realstartmusic();
#ifdef QVD_WEB
		web_wait_for_sound();
		time_init();
#endif
	}
	demo_run();
	return 0;
}

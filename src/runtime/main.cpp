// Runtime frame: command line, window and GL context, the per-frame event
// pump and pacing, and the start-up sequence that runs the demo's hooks.
#include "main.h"

#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "capture.h"
#include "datadir.h"
#include "gl.h"
#include "glcheck.h"
#include "music.h"
#include "retime.h"
#include "options.h"
#include "platform.h"
#include "seek.h"

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
demoeffect_c* first_picture = NULL;

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

// SIGINT, SIGTERM and SIGHUP only raise this flag, all that a handler may
// safely do; loading and every frame look at it and end the run the way a
// closed window does, end-of-run reports included.
static volatile sig_atomic_t stop_signal = 0;

static void on_stop_signal(int sig)
{
	if (stop_signal) {
		// Asked again: the run did not get to stop, so stop it now.
		signal(sig, SIG_DFL);
		raise(sig);
		return;
	}
	stop_signal = sig;
}

static void catch_stop_signals()
{
	struct sigaction sa;
	memset(&sa, 0, sizeof(sa));
	sa.sa_handler = on_stop_signal;
	sigemptyset(&sa.sa_mask);
	sa.sa_flags = SA_RESTART;
	sigaction(SIGINT, &sa, NULL);
	sigaction(SIGTERM, &sa, NULL);
	sigaction(SIGHUP, &sa, NULL);
}

static void dispatch(SDL_Event* e);

// A quit request: the demo's callbacks see a quit event, as for a closed
// window; if none of them ends the run (while loading there is none yet),
// it ends here the same way.
[[noreturn]] static void quit_run()
{
	SDL_Event e;
	memset(&e, 0, sizeof(e));
	e.type = SDL_QUIT;
	dispatch(&e);
	SDL_Quit();
	exit(1);
}

static void check_stop_signal()
{
	if (!stop_signal)
		return;
	fprintf(stderr, "signal %i (%s): quitting\n", (int)stop_signal, strsignal(stop_signal));
	quit_run();
}

// While loading, only a quit request is acted upon.
static void loading_events()
{
	check_stop_signal();
	SDL_Event e;
	while (SDL_PollEvent(&e))
		if (e.type == SDL_QUIT)
			quit_run();
}

static void print_gl_attribute(const char* format, SDL_GLattr attr)
{
	int value = 0;
	if (platform_gl_attribute(attr, &value) == 0)
		fprintf(stderr, format, value);
}

// What every platform reports once the context exists, and the viewport.
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

int no_visual(const char* gl)
{
	const SDL_VideoInfo* info = SDL_GetVideoInfo();
	int depth = info && info->vfmt ? info->vfmt->BitsPerPixel : 0;
	fprintf(stderr, "no %s visual on this %i-bit screen (%s)\n", gl, depth, SDL_GetError());
	return 1;
}

int init_gl()
{
	if (screen)
		SDL_FreeSurface(screen);
	screen = platform_open_window(config_width, config_height, config_videoflags, config_stencilsize);
	if (!screen)
		return 1;
	report_gl_and_viewport();
	return 0;
}

// Every buffer swap of the program goes through here.
void swap_buffers()
{
	platform_swap();
}

void system_crap_pre()
{
	loading_events();
	swap_buffers();
	platform_yield();
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

static void dispatch(SDL_Event* e)
{
	for (int i = 0; i < cb_count; i++)
		if (event_callbacks[i])
			event_callbacks[i](e);
	builtin_bindings(e);
}

static void pump_events()
{
	check_stop_signal();
	SDL_Event e;
	while (SDL_PollEvent(&e))
		dispatch(&e);
}

// Swap, spin until the platform's shortest frame is over (a 0.02 s period,
// or none where the host paces the frames), then advance the clock.
static void realtime_end_frame()
{
	swap_buffers();
	const float shortest_frame = platform_frame_wait();
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

// Starts the demo's clock at timeval_skip: the recording's, or real time
// with the music. After a seek, so that the page's gate and the sound wait
// for the seek, not the seek for them.
static void start_clock()
{
	platform_music_start(!capture_clock());  // a recording plays no sound
	if (capture_clock()) {
		capture_start();
		return;
	}
	startmusic(song_file, config_otherflags & 1);
	time_init();
	realstartmusic(timeval_skip);
	if (platform_music_started())
		time_init();
}

void system_crap()
{
	if (seeking) {
		loading_events();
		if (seek_end_frame())
			start_clock();
		return;
	}
	if (frameskip > 0) {
		mouserull[0] = 0;
		mouserull[1] = 0;
	}
	gl_check_frame(timeval);
	pump_events();
	if (capture_clock()) {
		capture_end_frame();
		platform_yield();
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
	print_stats(frames, steps, stats_time.load(std::memory_order_relaxed), stats_beat.load(std::memory_order_relaxed));
	platform_tick();
	if (platform_timers_fire_once)
		SDL_AddTimer(2000, fps_tick, NULL);
	return 2000;
}

// SDL opens the display once only to see that it is there; an X server
// that resets when its last client leaves (xvfb-run's default) can refuse
// the connection that follows while it resets (an 8-bit screen here).
static int start_sdl(Uint32 subsystems)
{
	int status = SDL_Init(subsystems);
	for (int tries = 0; status != 0 && getenv("DISPLAY") && tries < 10; tries++) {
		SDL_Quit();
		SDL_Delay(100);
		check_stop_signal();
		status = SDL_Init(subsystems);
	}
	return status;
}

void show_first_picture()
{
	if (first_picture && screenshot_surface) {
		first_picture->init();
		first_picture->draw();
	}
	swap_buffers();
}

int runtime_main(int argc, char** argv)
{
	getqvdtime(&started_at);
	catch_stop_signals();
	gl_check_init();
	demo_config();
	if (!parse_options(argc, argv))
		return 2;
	if (version_option) {
		printf("%s %s\n", platform_program_name, QVD_VERSION);
		return 0;
	}
	int status = enter_data_folder();
	if (status)
		return status;
	if (!capture_check())
		return 1;
	platform_start();

	if (!retime_start(argc, argv))
		return 2;
	// The audio device is opened with the music, and only for it, so a
	// recording or --nomusic runs where there is no sound. No parachute:
	// SDL's would shut the display down from inside a fault signal, where
	// the interrupted allocator's lock can hold it for good.
	Uint32 subsystems = SDL_INIT_TIMER | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE;
	// Only X gives SDL 1.2 a GL context; without it SDL would fall back to
	// a text-terminal driver that garbles the terminal and then fails.
	setenv("SDL_VIDEODRIVER", "x11", 0);
	// On a 30-bit screen SDL 1.2 would take a DirectColor visual and fill
	// its 1024 colour cells into a 256-cell array on the stack.
	setenv("SDL_VIDEO_X11_NODIRECTCOLOR", "1", 0);
	// Mesa's software renderer frees a fence while its last rasterizer
	// thread may still be signalling it (it reads the count unlocked, then
	// drops the last reference): a write into freed memory that once froze
	// a recording. A recording, unattended and not in a hurry, rasterizes
	// on the main thread without that fence; real time and --bench keep
	// the renderer's threads, which the frame rate needs.
	// Only that renderer reads this; a value given outside wins.
	if (capture_options.capture)
		setenv("LP_NUM_THREADS", "0", 0);
	if (start_sdl(subsystems) != 0) {
		const char* display = getenv("DISPLAY");
		if (!SDL_WasInit(SDL_INIT_VIDEO))
			fprintf(stderr, "no X display could be opened (DISPLAY=%s: %s); --capture under xvfb-run records without one\n",
				display ? display : "unset", SDL_GetError());
		else
			fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
		return 1;
	}
	if (init_gl() != 0)
		return 1;
	loading_events();
	getqvdtime(&gl_ready_at);
	keystate = SDL_GetKeyState(NULL);
	show_first_picture();
	platform_shown();
	time_init();
	SDL_AddTimer(2000, fps_tick, NULL);

	demo_init();
	retime_begin();
	loading_events();
	demo_initgl();
	loading_events();
	gl_check("while setting up");
	if (!demoname)
		demoname = "QVD Demobase";
	SDL_WM_SetCaption(demoname, demoname);

	if (!seek_begin())
		start_clock();
	demo_run();
	return 0;
}

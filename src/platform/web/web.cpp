// The browser build's platform: the browser's emulation of SDL 1.2 and
// WebGL. The demo's frame loops run unchanged: each frame sleeps through
// Asyncify, which hands the browser its turn to show the frame, play sound
// and run timers. Here too what the emulation lacks: picture decoding that
// keeps the colour under alpha 0, the music seek, and the desktop's rand().
#include "platform.h"

#include <SDL/SDL_mixer.h>
#include <emscripten.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <time.h>

#include "frameclock.h"
#include "gl.h"
#include "main.h"
#include "picture.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

const char* const platform_program_name = "quintaro";
const bool platform_small_targets = false;
const bool platform_can_restart = false;  // a page cannot start itself again
const bool platform_timers_fire_once = true;
SDL_Surface* screenshot_surface = NULL;

void platform_start()
{
}

// WebGL has its entry points and point sprites built in.
SDL_Surface* platform_open_window(int width, int height, Uint32 videoflags, int stencilsize)
{
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilsize);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, videoflags | SDL_OPENGL);
	if (!screen) {
		no_visual("OpenGL");
		return NULL;
	}
	SDL_ShowCursor(0);
	return screen;
}

int platform_gl_attribute(SDL_GLattr attr, int* value)
{
	return SDL_GL_GetAttribute(attr, value);
}

void platform_swap()
{
	SDL_GL_SwapBuffers();
}

void platform_shown()
{
}

int64_t platform_now()
{
	struct timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

void platform_frame(float)
{
}

static bool first_frame = true;
static int frames_shown = 0;  // for the page's tests

// The browser shows a frame when its display is ready for one. A frame
// drawn sooner is never shown, but its GL work still queues up, and a
// software GL falls seconds behind the music.
EM_ASYNC_JS(void, wait_for_display, (), {
	await new Promise(resolve => requestAnimationFrame(resolve));
});

static void web_follow_music();

// The browser's display paces the frames instead of the 0.02 s spin.
float platform_frame_wait()
{
	wait_for_display();
	frames_shown++;
	if (first_frame) {
		first_frame = false;
		fprintf(stderr, "first frame shown at %.3f s of page time\n", emscripten_get_now() / 1000.0);
	}
	web_follow_music();
	return 0.0f;
}

void platform_yield()
{
	emscripten_sleep(0);
}

// The page's shell calls back once its gate is clicked (see web.html).
EM_ASYNC_JS(void, wait_for_gate, (), {
	await new Promise(resolve => Module.qvdGate(resolve));
});

EM_JS(void, open_gate, (), {
	Module.qvdGate(null);
});

// Browsers play sound only after a click: with sound, shows the page's
// "click to start" gate and returns once it was clicked; without, only
// takes the loading notice away.
void platform_music_start(bool click)
{
	if (click)
		wait_for_gate();
	else
		open_gate();
}

// The media element starts some 0.1 s after it is told to play (more on a
// busy machine); a clock started at the call would run ahead of the sound.
EM_ASYNC_JS(void, wait_for_sound, (), {
	var audio = SDL.music.audio;
	if (!audio || audio.paused)
		return;
	var start = audio.currentTime;
	await new Promise(resolve => {
		var tries = 0;
		(function poll() {
			if (audio.currentTime != start || audio.paused || ++tries > 2000)
				resolve();
			else
				setTimeout(poll, 1);
		})();
	});
});

bool platform_music_started()
{
	wait_for_sound();
	return true;
}

// Reports the interval's GL errors with the statistics line.
void platform_tick()
{
	GLenum e = glGetError();
	if (e != GL_NO_ERROR)
		fprintf(stderr, "gl error 0x%04x\n", e);
}

bool decode_picture(FILE* f, int channels, picture_s* out, std::string* why)
{
	// The emulation's own decoder goes through a canvas, which zeroes the
	// colour wherever alpha is 0.
	stbi_set_flip_vertically_on_load(1);
	int n = 0;
	out->pixels = stbi_load_from_file(f, &out->w, &out->h, &n, channels);
	out->bits = n * 8;
	if (!out->pixels)
		*why = stbi_failure_reason();
	return out->pixels != NULL;
}

void free_picture(picture_s* p)
{
	stbi_image_free(p->pixels);
	p->pixels = NULL;
}

// SDL_mixer's seek is missing from the emulation, which plays the track
// through a media element: set the element's position instead.
EM_JS(int, Mix_SetMusicPosition, (double position), {
	var audio = SDL.music.audio;
	if (!audio)
		return -1;
	audio.currentTime = position;
	return 0;
});

EM_JS(double, music_element_time, (), {
	var audio = SDL.music.audio;
	return audio ? audio.currentTime : -1;
});

// The element's position while it plays, else -1.
EM_JS(double, music_playing_time, (), {
	var audio = SDL.music.audio;
	return audio && !audio.paused && !audio.ended ? audio.currentTime : -1;
});

static double clock_now()
{
	qvdtime_t now, d;
	getqvdtime(&now);
	qvdtimersub(&now, &timestart, &d);
	return tvtof(&d) + timeval_skip;
}

// A browser's sound can run slower than its clock on a busy machine (0.7 %
// was seen) and stall for a moment, so the clock follows the music: past
// 0.03 s apart it closes half the gap a frame, by at most 0.1 s. The
// frame's start moves with it, so the logic steps keep to the same clock,
// and never so far that the frame would take less than no time.
static void web_follow_music()
{
	double music = music_playing_time();
	if (music < 0)
		return;
	double ahead = clock_now() - music;
	if (fabs(ahead) < 0.03)
		return;
	qvdtime_t now, frame;
	getqvdtime(&now);
	qvdtimersub(&now, &framestart, &frame);
	double most = fmin(0.1, tvtof(&frame));
	double step = fmax(-0.1, fmin(ahead * 0.5, most));
	qvdtime_t shift = (qvdtime_t)(step * (double)sys_frequency);
	timestart += shift;
	framestart += shift;
}

// For the page's tests: the demo clock and the music element, read together.
extern "C" EMSCRIPTEN_KEEPALIVE double qvd_web_clock()
{
	return clock_now();
}

extern "C" EMSCRIPTEN_KEEPALIVE int qvd_web_frames()
{
	return frames_shown;
}

extern "C" EMSCRIPTEN_KEEPALIVE double qvd_web_music_time()
{
	return music_element_time();
}

// The demo never seeds rand(), so each build shows the same "random" layouts.
// The browser's C library draws another sequence than the desktop's; this is
// the desktop's (an additive feedback generator over 31 words, seed 1), so
// the stars, balls and polyhedra lie where they lie there.
static uint32_t rand_ring[34];
static uint64_t rand_n = 0;

extern "C" int rand(void)
{
	if (rand_n == 0) {
		int32_t s[344];
		s[0] = 1;
		for (int i = 1; i < 31; i++) {
			int64_t v = (16807LL * s[i - 1]) % 2147483647;
			s[i] = (int32_t)(v < 0 ? v + 2147483647 : v);
		}
		for (int i = 31; i < 34; i++)
			s[i] = s[i - 31];
		for (int i = 34; i < 344; i++)
			s[i] = (int32_t)((uint32_t)s[i - 31] + (uint32_t)s[i - 3]);
		for (int k = 310; k < 344; k++)
			rand_ring[k % 34] = (uint32_t)s[k];
		rand_n = 344;
	}
	uint32_t v = rand_ring[(rand_n - 31) % 34] + rand_ring[(rand_n - 3) % 34];
	rand_ring[rand_n % 34] = v;
	rand_n++;
	return (int)(v >> 1);
}

// What a port fills in: every function and constant below, in one folder
// of its own (src/platform/<name>/, copied from the nearest one) that
// CMake compiles instead of the others. The runtime calls these and
// nothing else of the host; the engine and the effects never do.
// desktop: SDL 1.2 with GLX and GLEW. handheld: OpenGL ES 2 through EGL on
// X11, the compositor's window type and the display kept awake over
// D-Bus. web: the browser's emulation of SDL 1.2 and WebGL.
// A host whose libraries lack something the engine calls supplies it in
// its folder too (the web's picture decoding and music seek).
#pragma once

#include <SDL/SDL.h>
#include <stdint.h>

// SDL 1.2's key-state call, which the web's emulation has but its newer
// headers do not declare.
extern "C" Uint8* SDL_GetKeyState(int* numkeys);

// The program's name, for --version.
extern const char* const platform_program_name;

// Render targets at half size, for a device with little video memory.
extern const bool platform_small_targets;

// False where the program cannot start itself again (--watch, --loop).
extern const bool platform_can_restart;

// The desktop as it was before the window covered it, bottom row first,
// bytes red, green, blue, 0; null where the platform captures none.
extern SDL_Surface* screenshot_surface;

// Before SDL starts, once the options are read: e.g. the desktop capture.
void platform_start();

// Opens the window and makes a GL context current on it, with a depth
// buffer, the stencil bits given and double buffering; null, with one line
// printed naming the cause, if it cannot.
SDL_Surface* platform_open_window(int width, int height, Uint32 videoflags, int stencilsize);

// Like SDL_GL_GetAttribute on the window's context.
int platform_gl_attribute(SDL_GLattr attr, int* value);

// Shows the frame drawn.
void platform_swap();

// Once the first picture is on the screen: e.g. the keep-awake request.
void platform_shown();

// After each real-time frame's swap: waits where the host paces the frames
// itself and returns the shortest frame the runtime still spins out.
float platform_frame_wait();

// Hands the host a turn where frames do not wait (loading, recording).
void platform_yield();

// Time stamp in nanoseconds of a clock that never runs backwards.
int64_t platform_now();

// Each frame as the clock has advanced: e.g. the window type after 2 s.
void platform_frame(float seconds);

// Every 2 s with the statistics line.
void platform_tick();

// The host's SDL timers fire once whatever they return: the runtime adds
// them again.
extern const bool platform_timers_fire_once;

// Around the music's start: before it, with `sound` when it will play
// (the page's click gate); after it, returns once its sound has begun,
// true if that took a wait, so that the clock starts again with it.
void platform_music_start(bool sound);
bool platform_music_started();

// From the runtime, for the ports: the display offers no GL drawing of
// the kind named (an 8-bit screen, a server without GLX): prints one line
// naming the cause and returns 1.
int no_visual(const char* gl);

// The browser build's platform step: yielding to the page each frame, the
// click gate, picture decoding and the music seek the emulation lacks.
#pragma once

#include <SDL/SDL.h>

#include "clock.h"

// The emulation has SDL 1.2's key-state call, but its headers are newer.
extern "C" Uint8* SDL_GetKeyState(int* numkeys);

// Called after the buffer swap: returns when the browser is ready to show
// the next frame, which paces the frames instead of the 0.02 s spin.
void web_frame_wait();

// One pass of the browser's event loop, for frames that do not wait.
void web_yield();

// Before the clock starts: with `click`, shows the page's "click to start"
// gate and returns once it was clicked (browsers play sound only after a
// click); without, only takes the loading notice away.
void web_start(bool click);

// After the music was told to play: returns once its sound has begun, so
// that the clock can start with it (at once without music).
void web_wait_for_sound();

// Each frame before the clock is read: keeps the clock with the music.
void web_follow_music();

// Every 2 s with the statistics line: reports GL errors of the interval.
void web_tick();

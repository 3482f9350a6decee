// The handheld program's platform layer on X11: window ids, the window
// type the compositor reads, and the desktop captured at start.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

extern SDL_SysWMinfo sysinfo;

// Prints the ids of SDL's X windows.
void x11info();
// Types the full-screen window: a dialog (0), which cannot be swiped
// away, or a normal window (nonzero).
void compositor_fix(int normal);

// Fills screenshot_surface with the root window's 854 x 480 corner, bottom
// row first, bytes red, green, blue, 0; black when there is nothing to read.
void take_screenshot();

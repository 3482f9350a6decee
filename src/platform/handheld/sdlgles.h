// OpenGL ES 2 on SDL 1.2's window, standing in for the handheld SDL's own
// GLES support (the desktop distributions' SDL 1.2 has none): video flag
// 0x40 asks for an ES context, GL attributes 17 and 18 are the context's
// major and minor version and 16 the swap interval.
#pragma once

#include <SDL/SDL.h>

const Uint32 SDL_OPENGLES = 0x00000040;
const int GLES_ATTR_SWAP_CONTROL = 16;
const int GLES_ATTR_CONTEXT_MAJOR = 17;
const int GLES_ATTR_CONTEXT_MINOR = 18;

// Like SDL_GL_SetAttribute / SDL_GL_GetAttribute: 0 on success, else -1
// with SDL's error text set.
int gles_set_attribute(int attr, int value);
int gles_get_attribute(int attr, int* value);

// SDL_SetVideoMode; with SDL_OPENGLES in flags it also makes an ES context
// current on the window (null, with SDL's error text, if that fails).
SDL_Surface* gles_set_video_mode(int width, int height, int bpp, Uint32 flags);

void gles_swap_buffers();

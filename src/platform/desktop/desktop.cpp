// The desktop program's platform: SDL 1.2 with a GLX context, GL entry
// points through GLEW, frames paced by the runtime's 0.02 s spin.
#include "platform.h"

#include <stdio.h>
#include <time.h>

#include "gl.h"

const char* const platform_program_name = "quintaro";
const bool platform_small_targets = false;
const bool platform_can_restart = true;
const bool platform_timers_fire_once = false;
SDL_Surface* screenshot_surface = NULL;

void platform_start()
{
}

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

	GLenum err = glewInit();
	if (err != GLEW_OK) {
		fprintf(stderr, "no OpenGL entry points (GLEW: %s), can't run\n", (const char*)glewGetErrorString(err));
		return NULL;
	}
	// Point effects set gl_PointSize in their vertex shaders.
	glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
	glEnable(GL_POINT_SPRITE);
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

float platform_frame_wait()
{
	return 0.02f;
}

void platform_yield()
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

void platform_tick()
{
}

void platform_music_start(bool)
{
}

bool platform_music_started()
{
	return false;
}

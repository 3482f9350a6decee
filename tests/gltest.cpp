#include "gltest.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "main.h"

static bool opened = false;

void gltest_open(int width, int height)
{
	if (opened)
		return;
	// A virtual display that is just resetting refuses a client now and then.
	int res = -1;
	for (int attempt = 0; attempt < 10 && res != 0; attempt++) {
		res = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
		if (res != 0)
			SDL_Delay(200);
	}
	ASSERT_EQ(res, 0) << SDL_GetError();
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, SDL_OPENGL);
	ASSERT_NE(screen, nullptr) << SDL_GetError();
	ASSERT_EQ(glewInit(), (GLenum)GLEW_OK);
	glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
	glEnable(GL_POINT_SPRITE);
	glViewport(0, 0, width, height);
	opened = true;
}

std::vector<uint8_t> gltest_read(int x, int y, int w, int h)
{
	std::vector<uint8_t> px((size_t)w * h * 4);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
	return px;
}

float gltest_depth_drawn(void (*draw)(), int x, int y)
{
	glClear(GL_DEPTH_BUFFER_BIT);
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
	draw();
	glDisable(GL_DEPTH_TEST);
	float depth = -1.0f;
	glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
	return depth;
}

uint32_t gltest_pixel(int x, int y)
{
	std::vector<uint8_t> p = gltest_read(x, y, 1, 1);
	return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

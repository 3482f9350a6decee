// Offscreen colour render target: a framebuffer with one texture.
#pragma once

#include "gl.h"

const int FBO_FLOAT = 1;  // RGBA32F colour texture
const int FBO_CLAMP = 2;  // clamp to edge, else repeat

class fbo_c {
public:
	int width_p;
	int height_p;
	GLint viewport_p[4];
	GLuint fbohandle;
	GLuint colortex;

	fbo_c(int width, int height, int flags);
	void bind();
	void unbind();
	void discard();
};

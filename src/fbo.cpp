#include "fbo.h"

#include <stdio.h>

fbo_c::fbo_c(int width, int height, int flags)
{
	glGenFramebuffers(1, &fbohandle);
	glGenTextures(1, &colortex);
	glBindFramebuffer(GL_FRAMEBUFFER, fbohandle);
	glBindTexture(GL_TEXTURE_2D, colortex);
#ifdef QVD_HANDHELD
	// OpenGL ES 2 has no float colour targets: the flag is ignored.
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, NULL);
#else
	if (flags & FBO_FLOAT)
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, NULL);
	else
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, NULL);
#endif
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	GLint wrap = (flags & FBO_CLAMP) ? GL_CLAMP_TO_EDGE : GL_REPEAT;
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
	glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colortex, 0);

	GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
	if (status == GL_FRAMEBUFFER_COMPLETE)
		fprintf(stderr, "fbo ok!\n");
	else if (status == GL_FRAMEBUFFER_UNSUPPORTED)
		fprintf(stderr, "fbo unsup!\n");
	else
		fprintf(stderr, "fbo problem!\n");

	width_p = width;
	height_p = height;
	viewport_p[0] = viewport_p[1] = viewport_p[2] = viewport_p[3] = 0;
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void fbo_c::bind()
{
	glBindFramebuffer(GL_FRAMEBUFFER, fbohandle);
	glGetIntegerv(GL_VIEWPORT, viewport_p);
	glViewport(0, 0, width_p, height_p);
}

void fbo_c::unbind()
{
	glViewport(viewport_p[0], viewport_p[1], viewport_p[2], viewport_p[3]);
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void fbo_c::discard()
{
}

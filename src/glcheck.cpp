#include "glcheck.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gl.h"

static bool checking = false;

void gl_check_init()
{
	const char* v = getenv("QVD_GL_CHECK");
	checking = v && *v && strcmp(v, "0") != 0;
}

static const char* error_name(GLenum e)
{
	switch (e) {
	case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
	case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
	case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
	case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
	case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
	default: return "unknown";
	}
}

void gl_check(const char* where)
{
	if (!checking)
		return;
	GLenum e = glGetError();
	if (e == GL_NO_ERROR)
		return;
	fprintf(stderr, "GL error 0x%04x (%s) %s\n", e, error_name(e), where);
	exit(1);
}

void gl_check_frame(float seconds)
{
	if (!checking)
		return;
	char where[48];
	snprintf(where, sizeof(where), "in the frame at %.2f s", seconds);
	gl_check(where);
}

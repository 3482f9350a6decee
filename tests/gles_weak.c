// Preloaded into the handheld program: Mesa reports no vertex texture units.
#define _GNU_SOURCE
#include <GLES2/gl2.h>
#include <dlfcn.h>

void glGetIntegerv(GLenum name, GLint* data)
{
	((void (*)(GLenum, GLint*))dlsym(RTLD_NEXT, "glGetIntegerv"))(name, data);
	if (name == GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS)
		*data = 0;
}

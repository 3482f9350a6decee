// Preloaded into the handheld program: QVD_WEAK_DRIVER=vertex-textures makes
// Mesa report no vertex texture units, fragment-highp no fragment highp.
#define _GNU_SOURCE
#include <GLES2/gl2.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

static int weak(const char* what)
{
	const char* v = getenv("QVD_WEAK_DRIVER");
	return v && !strcmp(v, what);
}

void glGetIntegerv(GLenum name, GLint* data)
{
	((void (*)(GLenum, GLint*))dlsym(RTLD_NEXT, "glGetIntegerv"))(name, data);
	if (name == GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS && weak("vertex-textures"))
		*data = 0;
}

void glGetShaderPrecisionFormat(GLenum shader, GLenum type, GLint* range, GLint* precision)
{
	((void (*)(GLenum, GLenum, GLint*, GLint*))dlsym(RTLD_NEXT, "glGetShaderPrecisionFormat"))(shader,
		type, range, precision);
	if (shader == GL_FRAGMENT_SHADER && type == GL_HIGH_FLOAT && weak("fragment-highp"))
		range[0] = range[1] = *precision = 0;
}

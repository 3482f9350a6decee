// The one place that picks the GL headers: OpenGL ES 2 on the handheld,
// GLEW on the desktop. The two cannot share a translation unit.
#pragma once

#ifdef QVD_HANDHELD
#include <GLES2/gl2.h>
#else
#include <GL/glew.h>
#endif

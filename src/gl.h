// The one place that picks the GL headers: OpenGL ES 2 on the handheld and
// in the browser (WebGL 1), GLEW on the desktop. The two cannot share a
// translation unit. QVD_GLES, set by the build for the ES programs, marks
// the ES path wherever the two differ.
#pragma once

#ifdef QVD_GLES
#include <GLES2/gl2.h>
#else
#include <GL/glew.h>
#endif

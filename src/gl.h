// The one place that picks the GL headers: GLEW on the desktop, OpenGL ES 2
// in the browser.
#pragma once

#ifdef QVD_WEB
#include <GLES2/gl2.h>
#else
#include <GL/glew.h>
#endif

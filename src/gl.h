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

// The depth that clears set, 0 to 1; ES names its call differently.
inline void clear_depth_to(float depth)
{
#ifdef QVD_GLES
	glClearDepthf(depth);
#else
	glClearDepth(depth);
#endif
}

// The one place that picks the GL headers: GLEW on the desktop.
#pragma once

#include <GL/glew.h>

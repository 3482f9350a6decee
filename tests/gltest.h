// A real GL context for tests: an SDL window on the X display (Xvfb in CI).
#pragma once

#include <stdint.h>
#include <vector>

#include "gl.h"

// Opens the window once per test program; later calls reuse it.
void gltest_open(int width = 854, int height = 480);

// RGBA bytes of a rectangle of the current read buffer, bottom row first.
std::vector<uint8_t> gltest_read(int x, int y, int w, int h);

// One RGBA pixel of the current read buffer.
uint32_t gltest_pixel(int x, int y);

// The depth, 0 to 1, that draw leaves at pixel (x, y) of a depth buffer
// cleared to 1, drawn through the depth test with the function LESS.
float gltest_depth_drawn(void (*draw)(), int x = 427, int y = 240);

// Helpers for the picture, scroller, heart and overlay tests: a scratch
// folder with the small pictures an effect loads, and pixel checks.
#pragma once

#include <stdint.h>
#include <functional>

#include <glm/glm.hpp>

#include <gtest/gtest.h>

#include "gl.h"

// Creates ./<name>-<pid>/gfx, makes it the working directory and removes it
// at exit; later calls keep the first folder.
void pictures_dir(const char* name);

// Writes a w x h RGBA PNG; colour(x, y) gives 0xAABBGGRR, y from the top.
void pictures_png(const char* fn, int w, int h, std::function<uint32_t(int x, int y)> colour);
void pictures_flat(const char* fn, int w, int h, uint32_t rgba);

uint32_t rgba(int r, int g, int b, int a = 255);

// A ramp picture tells its axes and corners apart: red rises from left to
// right, green from bottom to top (turned: the other way round), blue is
// flat. Its width is no multiple of 4, so SDL pads its RGB rows.
const int ramp_w = 30, ramp_h = 18;
void pictures_ramp(const char* fn, int blue, bool turned = false);

// The colour (0 to 1) that linear filtering gives at texture coordinate
// (u, v) of a ramp picture, clamped to the edge or repeated.
glm::vec3 ramp_at(float u, float v, int blue, bool turned = false, bool repeat = false);

struct pixel_s {
	int r, g, b, a;
};

// A pixel of the current read buffer, x and y from the bottom left.
pixel_s pixel_at(int x, int y);

// The first pending GL error, clearing all of them.
GLenum gl_error();

// True when r, g and b are each within tol of the pixel's.
::testing::AssertionResult rgb_near(pixel_s p, int r, int g, int b, int tol = 3);
::testing::AssertionResult rgb_near(pixel_s p, glm::vec3 c, int tol = 3);

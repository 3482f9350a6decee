// Helpers for the picture, scroller, heart and overlay tests: a scratch
// folder with the small pictures an effect loads, and pixel checks.
#pragma once

#include <stdint.h>
#include <functional>

#include <gtest/gtest.h>

#include "gl.h"

// Creates ./<name>-<pid>/gfx, makes it the working directory and removes it
// at exit; later calls keep the first folder.
void pictures_dir(const char* name);

// Writes a w x h RGBA PNG; colour(x, y) gives 0xAABBGGRR, y from the top.
void pictures_png(const char* fn, int w, int h, std::function<uint32_t(int x, int y)> colour);
void pictures_flat(const char* fn, int w, int h, uint32_t rgba);

uint32_t rgba(int r, int g, int b, int a = 255);

struct pixel_s {
	int r, g, b, a;
};

// A pixel of the current read buffer, x and y from the bottom left.
pixel_s pixel_at(int x, int y);

// The first pending GL error, clearing all of them.
GLenum gl_error();

// True when r, g and b are each within tol of the pixel's.
::testing::AssertionResult rgb_near(pixel_s p, int r, int g, int b, int tol = 3);

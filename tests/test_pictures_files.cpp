#include "test_pictures_files.h"

#include <ftw.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

// A private copy of the writer, so it cannot clash with the engine's.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "gltest.h"

static std::string scratch;

static int remove_entry(const char* path, const struct stat*, int, struct FTW*)
{
	return remove(path);
}

static void remove_scratch()
{
	nftw(scratch.c_str(), remove_entry, 8, FTW_DEPTH | FTW_PHYS);
}

void pictures_dir(const char* name)
{
	// One folder per process: ctest may run the tests of a program side by side.
	if (!scratch.empty())
		return;
	char cwd[4096];
	ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
	scratch = std::string(cwd) + "/" + name + "-" + std::to_string(getpid());
	ASSERT_EQ(mkdir(scratch.c_str(), 0755), 0) << scratch;
	atexit(remove_scratch);
	ASSERT_EQ(chdir(scratch.c_str()), 0) << scratch;
	ASSERT_EQ(mkdir("gfx", 0755), 0);
}

void pictures_png(const char* fn, int w, int h, std::function<uint32_t(int x, int y)> colour)
{
	std::vector<uint32_t> px((size_t)w * h);
	for (int y = 0; y < h; y++)
		for (int x = 0; x < w; x++)
			px[(size_t)y * w + x] = colour(x, y);
	ASSERT_NE(stbi_write_png(fn, w, h, 4, px.data(), w * 4), 0) << fn;
}

void pictures_flat(const char* fn, int w, int h, uint32_t c)
{
	pictures_png(fn, w, h, [c](int, int) { return c; });
}

uint32_t rgba(int r, int g, int b, int a)
{
	return (uint32_t)r | ((uint32_t)g << 8) | ((uint32_t)b << 16) | ((uint32_t)a << 24);
}

// Texel i of n along a ramp axis, as the 8-bit value stored in the file.
static int ramp_texel(int i, int n)
{
	return (int)((i + 0.5f) * 255.0f / n + 0.5f);
}

void pictures_ramp(const char* fn, int blue, bool turned)
{
	pictures_png(fn, ramp_w, ramp_h, [blue, turned](int x, int y) {
		int across = ramp_texel(x, ramp_w), up = ramp_texel(ramp_h - 1 - y, ramp_h);
		return turned ? rgba(up, across, blue) : rgba(across, up, blue);
	});
}

// Linear filtering along one axis of n texels.
static float ramp_axis(float t, int n, bool repeat)
{
	float s = t * n - 0.5f;
	int i0 = (int)floorf(s);
	float f = s - i0;
	int i1 = i0 + 1;
	if (repeat) {
		i0 = ((i0 % n) + n) % n;
		i1 = ((i1 % n) + n) % n;
	} else {
		i0 = i0 < 0 ? 0 : i0 >= n ? n - 1 : i0;
		i1 = i1 < 0 ? 0 : i1 >= n ? n - 1 : i1;
	}
	return (ramp_texel(i0, n) * (1.0f - f) + ramp_texel(i1, n) * f) / 255.0f;
}

glm::vec3 ramp_at(float u, float v, int blue, bool turned, bool repeat)
{
	float across = ramp_axis(u, ramp_w, repeat), up = ramp_axis(v, ramp_h, repeat);
	return turned ? glm::vec3(up, across, blue / 255.0f) : glm::vec3(across, up, blue / 255.0f);
}

pixel_s pixel_at(int x, int y)
{
	uint32_t v = gltest_pixel(x, y);
	pixel_s p = {(int)(v & 255), (int)((v >> 8) & 255), (int)((v >> 16) & 255), (int)(v >> 24)};
	return p;
}

::testing::AssertionResult rgb_near(pixel_s p, int r, int g, int b, int tol)
{
	if (abs(p.r - r) <= tol && abs(p.g - g) <= tol && abs(p.b - b) <= tol)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "pixel (" << p.r << ", " << p.g << ", " << p.b
		<< "), expected (" << r << ", " << g << ", " << b << ") +-" << tol;
}

::testing::AssertionResult rgb_near(pixel_s p, glm::vec3 c, int tol)
{
	glm::vec3 v = glm::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f;
	return rgb_near(p, (int)v.r, (int)v.g, (int)v.b, tol);
}

GLenum gl_error()
{
	GLenum first = glGetError();
	while (glGetError() != GL_NO_ERROR) {
	}
	return first;
}

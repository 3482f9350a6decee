// The point fluid: position texture, the beat curves and the drawn points.
#include "../content/fluid.cpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "gltest.h"

namespace {

const glm::u8vec3 red(200, 40, 30);

// gfx/face.jpg of one colour with another top row, in a fresh working
// directory (PNG content keeps the colours exact), then built; with ramp,
// red rises to the right and green upwards instead.
void make_face(int w, int h, glm::u8vec3 body, glm::u8vec3 top, bool ramp = false)
{
	gltest_open();
	ASSERT_FALSE(testing::Test::HasFatalFailure());
	char dir[] = "/tmp/fluid_XXXXXX";
	ASSERT_NE(mkdtemp(dir), nullptr);
	ASSERT_EQ(chdir(dir), 0);
	mkdir("gfx", 0755);
	std::vector<glm::u8vec3> px((size_t)w * h, body);
	std::fill(px.begin(), px.begin() + w, top);
	for (int y = 0; ramp && y < h; y++)
		for (int x = 0; x < w; x++)
			px[(size_t)y * w + x] = glm::u8vec3(x * 255 / (w - 1), (h - 1 - y) * 255 / (h - 1), 0);
	ASSERT_NE(stbi_write_png("gfx/face.jpg", w, h, 3, px.data(), w * 3), 0);
	effect.initgl();
}

bool same(glm::vec3 c, glm::u8vec3 want)
{
	return glm::distance(c * 255.0f, glm::vec3(want)) < 0.01f;
}

// Lit pixels, the highest lit row and the colour of the last lit pixel.
int lit(int* ymax, glm::ivec3* colour)
{
	std::vector<uint8_t> px = gltest_read(0, 0, 854, 480);
	int n = 0;
	for (size_t i = 0; i < px.size(); i += 4)
		if (px[i] + px[i + 1] + px[i + 2]) {
			n++;
			*ymax = i / 4 / 854;
			*colour = glm::ivec3(px[i], px[i + 1], px[i + 2]);
		}
	return n;
}

}  // namespace

TEST(Fluid, TexelHoldsScreenBytesClampedToTheEdge)
{
	EXPECT_EQ(encode(glm::vec2(0.0f)), 128u | (128u << 8));
	EXPECT_EQ(encode(glm::vec2(1.0f, 0.5f)), 199u | (191u << 8));  // x squashed by 480 / 854
	EXPECT_EQ(encode(glm::vec2(-5.0f, 7.0f)), 255u << 8);
	volatile float far = 1e9f;  // not folded at compile time
	EXPECT_EQ(encode(glm::vec2(far, -far)), 255u);
	// a particle right on the attractor gets no pull, not NaN
	glm::vec2 pos(0.25f), vel(0.0f);
	advance(pos, vel, pos);
	EXPECT_TRUE(std::isfinite(pos.x + pos.y + vel.x + vel.y));
	EXPECT_LE(glm::length(vel), 0.01f * sqrtf(2.0f));
	// right of the attractor: pulled left 0.3, swirled down 0.03 (+-0.01 noise)
	pos = glm::vec2(0.5f, 0.0f);
	vel = glm::vec2(0.0f);
	advance(pos, vel, glm::vec2(0.0f));
	EXPECT_NEAR(vel.x, -0.3f, 0.011f);
	EXPECT_NEAR(vel.y, -0.03f, 0.011f);
	EXPECT_NEAR(pos.x, 0.5f + 0.3f * vel.x, 1e-6f);
}

TEST(Fluid, BeatCurvesRunFadeAndWhiten)
{
	struct { float beat, poso, aa, white; } want[] = {
		{ 250, 0, 1, 2.5f }, { 256, 0, 1, 1 }, { 258, 1 - powf(13 / 15.0f, 1.5f), 1, 0.5f },
		{ 263.5f, 1 - powf(0.5f, 1.5f), 1, 0 }, { 271, 1, 1, 0 }, { 272, 1, 0.5f, 0 }, { 300, 1, 0, 0 },
	};
	for (auto& w : want) {
		curves_s c = curves(w.beat);
		EXPECT_NEAR(c.poso, w.poso, 1e-6f) << w.beat;
		EXPECT_FLOAT_EQ(c.aa, w.aa) << w.beat;
		EXPECT_FLOAT_EQ(c.white, w.white) << w.beat;
	}
	EXPECT_FALSE(blended(curves(271.01f).aa));
	EXPECT_TRUE(blended(curves(271.05f).aa));
	EXPECT_TRUE(blended(curves(280.0f).aa));
}

TEST(FluidGL, PositionTextureLayoutAndColours)
{
	ASSERT_NO_FATAL_FAILURE(make_face(64, 600, red, red));
	ASSERT_EQ(posbuf->w, 64);
	ASSERT_EQ(posbuf->h, 2048);
	int edge = 0;
	for (int y = 0; y < 2048; y++)
		for (int x = 0; x < 64; x++) {
			Uint32 t = *texel(posbuf, x, y);
			ASSERT_EQ(t >> 16, 0u) << x << "," << y;  // blue and fourth byte empty
			int yy = t >> 8;
			if (y == 0) {
				ASSERT_LT(yy, 24) << x;  // row 0, the first step, at the bottom edge
			}
			edge += yy == 0 || yy == 255;  // undamped, some overshoot and stick
		}
	EXPECT_GT(edge, 0);
	// spread from the left edge to beyond the right
	EXPECT_LT(*texel(posbuf, 0, 0) & 0xff, 12u);
	EXPECT_EQ(*texel(posbuf, 15, 0) & 0xff, 255u);

	tex_pos.bind();
	std::vector<Uint32> gl(64 * 2048);
	glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, gl.data());
	EXPECT_EQ(0, memcmp(gl.data(), posbuf->pixels, gl.size() * 4));
	for (int i = 0; i < pointcount; i++) {
		ASSERT_TRUE(same(cols[i], red)) << i;
		ASSERT_FLOAT_EQ(points[i].y, 0.5f / 2048.0f);
		ASSERT_NEAR(points[i].x, i / 10000.0f, 0.1f + 1e-6f);
	}
}

// Each point takes the picture's colour where it lies on the screen at the
// colour step: the picture spans the screen's width, its rows from 20
// below the screen's bottom edge.
TEST(FluidGL, PointsTakeThePictureUnderThem)
{
	ASSERT_NO_FATAL_FAILURE(make_face(854, 500, red, red, true));
	for (int i = 0; i < pointcount; i += 97) {
		float tx = points[i].x * particles - 0.5f;
		glm::vec2 p = glm::mix(stored_pos((int)floorf(tx), colour_step),
			stored_pos((int)ceilf(tx), colour_step), glm::fract(tx));
		if (p.x <= 0.0f || p.x >= 1.0f || p.y <= 0.0f || p.y >= 0.9f)
			continue;  // off-picture points wrap or clamp
		EXPECT_NEAR(cols[i].r, p.x, 0.01f) << i;
		EXPECT_NEAR(cols[i].g, (p.y * 480.0f + 20.0f) / 499.0f, 0.01f) << i;
	}
}

TEST(FluidGL, ShortPictureGivesItsTopRowNotGarbage)
{
	glm::u8vec3 body(10, 200, 10), top(220, 0, 220);
	ASSERT_NO_FATAL_FAILURE(make_face(50, 120, body, top));
	int tops = 0;
	for (int i = 0; i < pointcount; i++) {
		ASSERT_TRUE(same(cols[i], body) || same(cols[i], top)) << i;
		tops += same(cols[i], top);
	}
	EXPECT_GT(tops, 0);
}

TEST(FluidGL, PointsRiseFromWhiteToColourThenFade)
{
	ASSERT_NO_FATAL_FAILURE(make_face(64, 520, red, red));
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
	int ymax = 0;
	glm::ivec3 c;
	// before the start: white points on row 0, along the bottom edge
	beatgrid = 250.0f;
	glClear(GL_COLOR_BUFFER_BIT);
	fluid->draw();
	EXPECT_GT(lit(&ymax, &c), 3000);
	EXPECT_LT(ymax, 45);
	EXPECT_EQ(c, glm::ivec3(255));
	// in full flow: the picture's colour, spread up the screen
	beatgrid = 264.0f;
	glClear(GL_COLOR_BUFFER_BIT);
	fluid->draw();
	EXPECT_GT(lit(&ymax, &c), 1000);
	EXPECT_GT(ymax, 100);
	EXPECT_EQ(c, glm::ivec3(red));
	// half faded: blended over the background, blending off afterwards
	beatgrid = 272.0f;
	glClearColor(1, 1, 1, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	fluid->draw();
	EXPECT_FALSE(glIsEnabled(GL_BLEND));
	std::vector<uint8_t> px = gltest_read(0, 0, 854, 480);
	int half = 0;
	for (size_t i = 0; i < px.size(); i += 4)
		half += abs(px[i] - 228) <= 2 && abs(px[i + 1] - 148) <= 2 && abs(px[i + 2] - 143) <= 2;
	EXPECT_GT(half, 500);
	// gone for good
	beatgrid = 290.0f;
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT);
	fluid->draw();
	EXPECT_EQ(lit(&ymax, &c), 0);
}

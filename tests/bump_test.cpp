// The bump-mapped credits: camera stops, the light's path and the picture.
#include "../content/bump.cpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "gltest.h"

namespace {

// A picture whose lowest `low` rows are `bottom` and the rest `rest`.
// PNG content under the .jpg name keeps the colours exact.
void picture(const char* fn, int w, int h, int low, glm::u8vec3 bottom, glm::u8vec3 rest)
{
	std::vector<glm::u8vec3> px((size_t)w * h, rest);
	std::fill(px.end() - w * low, px.end(), bottom);
	ASSERT_NE(stbi_write_png(fn, w, h, 3, px.data(), w * 3), 0);
}

int red_at(int x, int y)
{
	return gltest_pixel(x, y) & 0xff;
}

}  // namespace

TEST(Bump, CameraStopsAndOtherValuesKeepTheTarget)
{
	struct { int tgt; glm::vec2 stop; } stops[] = {
		{ 0, glm::vec2(-140, -450) }, { 10, glm::vec2(700, -900) }, { 20, glm::vec2(450, -942) },
		{ 5, glm::vec2(450, -942) }, { 30, glm::vec2(1200, -500) }, { 40, glm::vec2(2600, -1000) },
		{ 41, glm::vec2(2600, -1000) }, { -10, glm::vec2(2600, -1000) },
	};
	frameskip = 1;
	timeval = 0.0f;
	for (auto& s : stops) {
		bumptgt = s.tgt;
		move_camera();
		EXPECT_EQ(mover.targetpos, s.stop) << s.tgt;
		// the light circles the destination, not the camera
		EXPECT_EQ(valomover.targetpos, glm::vec3(s.stop.x + 370.0f, s.stop.y, 30.0f - 90.08f));
	}
	bumptgt = 0;
}

TEST(Bump, NoLogicStepNoMotion)
{
	frameskip = 1;
	move_camera();
	spring_c<glm::vec2> m = mover;
	spring_c<glm::vec3> v = valomover;
	frameskip = 0;
	for (int f = 0; f < 5; f++)
		move_camera();
	EXPECT_EQ(mover.pos, m.pos);
	EXPECT_EQ(mover.vel, m.vel);
	EXPECT_EQ(valomover.pos, v.pos);
	EXPECT_EQ(valomover.vel, v.vel);
	frameskip = 1;
}

TEST(BumpGL, WhiteLetteringIsDarkOverLitRock)
{
	gltest_open();
	ASSERT_FALSE(HasFatalFailure());
	char dir[] = "/tmp/bump_XXXXXX";
	ASSERT_NE(mkdtemp(dir), nullptr);
	ASSERT_EQ(chdir(dir), 0);
	mkdir("gfx", 0755);
	// a flat normal map facing the viewer, grey rock, and a credits sheet
	// whose lowest quarter is white lettering
	glm::u8vec3 flat(128, 128, 255), grey(100, 100, 100);
	picture("gfx/rocknormal.jpg", 16, 16, 0, flat, flat);
	picture("gfx/rock.jpg", 16, 16, 0, grey, grey);
	picture("gfx/credits.jpg", 64, 32, 8, glm::u8vec3(255), glm::u8vec3(0));
	effect.initgl();

	// camera at the sheet's lower left corner, at rest; the light far in
	// front of screen row 400
	frameskip = 0;
	mover.pos = glm::vec2(0.0f, -1024.0f);
	mover.vel = glm::vec2(0.0f);
	valomover.pos = glm::vec3(427.0f - 520.0f, 400.0f - 1024.0f - 200.0f, -1000.0f);
	valomover.vel = glm::vec3(0.0f);
	glDisable(GL_DEPTH_TEST);
	bump->run();
	uint32_t rock = gltest_pixel(427, 400);
	EXPECT_NEAR((int)(rock & 0xff), 100 * 1.7, 3);  // shade 0.2 + 1.5
	EXPECT_EQ(rock & 0xff, (rock >> 16) & 0xff);
	uint32_t letter = gltest_pixel(427, 100);
	EXPECT_NEAR((int)(letter & 0xff), 0.1 * 1.64 * 255, 3);
	EXPECT_NEAR((int)((letter >> 8) & 0xff), 0.02 * 1.64 * 255, 2);
	EXPECT_EQ((letter >> 16) & 0xff, 0u);
	// 1024 pixels of sheet: the white quarter ends at row 256
	EXPECT_LT(red_at(427, 230), 60);
	EXPECT_GT(red_at(427, 282), 150);

	// a light low at the left edge: the far side falls towards 0.2
	valomover.pos = glm::vec3(-200.0f - 520.0f, 400.0f - 1024.0f - 200.0f, -100.0f);
	bump->run();
	EXPECT_GT(red_at(20, 400), red_at(830, 400) + 30);
	EXPECT_GE(red_at(830, 400), 100 * 0.2 - 2);
	// where the script clears depth to before drawing it without the test
	EXPECT_NEAR(gltest_depth_drawn([] { bump->run(); }), 0.5f * bump_depth + 0.5f, 1e-6f);
	EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
	frameskip = 1;
}

// The city backdrop: its depth reset and the glow of horizonbomb.
#include "../content/zreset.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

void frame(float bomb)
{
	horizonbomb = bomb;
	effect.draw();
}

// The picture as it shows at screen pixel (x, y): its middle 0.8 across
// and its lower 0.8 up.
glm::vec3 backdrop(int x, int y)
{
	return ramp_at(0.1f + 0.8f * (x + 0.5f) / 854.0f, 0.8f * (y + 0.5f) / 480.0f, 25);
}

// The glow's centre (0.5, 0.2) of the picture is pixel (427, 120); the
// picture point (0.5, 0.45), 0.25 above it, is pixel (427, 270).
TEST(ZresetDraw, GlowRadiusAndDepthReset)
{
	pictures_dir("scratch-pictures");
	pictures_ramp("gfx/darkmetal.jpg", 25);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);

	frame(0.0f);
	const int spots[][2] = { { 427, 120 }, { 5, 3 }, { 848, 3 }, { 5, 476 }, { 848, 476 } };
	for (const auto& p : spots)
		EXPECT_TRUE(rgb_near(pixel_at(p[0], p[1]), backdrop(p[0], p[1]))) << p[0] << ", " << p[1];
	frame(0.1f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 120), 255, 255, 255));
	EXPECT_TRUE(rgb_near(pixel_at(427, 270), backdrop(427, 270)));
	frame(0.27f);  // just inside the radius the glow has only begun: t = 0.19
	EXPECT_TRUE(rgb_near(pixel_at(427, 270), backdrop(427, 270) + glm::vec3(98, 69, 29) / 255.0f, 8));
	frame(0.4f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 270), 255, 255, 255));

	// Whatever depth was left, the backdrop lands at the far end.
	glClearDepth(0.0);
	glClear(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
	glClearDepth(1.0);
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
	frame(0.0f);
	glDisable(GL_DEPTH_TEST);
	EXPECT_TRUE(rgb_near(pixel_at(427, 240), backdrop(427, 240)));
	float d = 0;
	glReadPixels(427, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
	EXPECT_GT(d, 0.999f);
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

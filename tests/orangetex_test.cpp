// The texture behind the orange pattern: two tiled pictures scrolling right
// at their own speeds, tinted with the time, the bubbles kicked by "boom3".
#include "../content/orangetex.cpp"

#include <math.h>

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

// The colour at screen pixel (x, y), whose texture coordinate runs down
// from the top edge, for the time t and the bubbles' weight.
glm::vec3 expected(int x, int y, float t, float bubbles)
{
	glm::vec2 uv((x + 0.5f) / 854.0f, 1.0f - (y + 0.5f) / 480.0f);
	float wobble = sinf(t) * t * 0.01f;
	glm::vec3 c = ramp_at(uv.x - t * 0.4f, uv.y - wobble, 50, false, true) * bubbles
		+ ramp_at(uv.x - t * 0.6f, uv.y - wobble, 120, true, true);
	return c * 0.5f * glm::vec3(1.0f + t * 0.009f, 1.0f, 1.0f - t * 0.092f);
}

TEST(OrangetexDraw, PicturesScrollAtTheirSpeedsAndBubblesFlareOnBoom3)
{
	pictures_dir("scratch-overlay");
	pictures_ramp("gfx/bubbles.jpg", 50);
	pictures_ramp("gfx/jeans.jpg", 120, true);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	const int spots[][2] = { { 40, 30 }, { 700, 100 }, { 200, 400 }, { 820, 460 }, { 427, 240 } };
	// Before beat 96, then the frame "boom3" fires in (weight 2.3), then 25
	// logic steps later as the spring settles back towards 1.
	const float beats[] = { 10.0f, 100.0f, 100.5f };
	const int steps[] = { 1, 1, 25 };
	const float weights[] = { 1.0f, 2.3f, 1.7341490f };
	for (int i = 0; i < 3; i++) {
		beatgrid = beats[i];
		frameskip = steps[i];
		timeval = 0.7f + i;
		effect.run();
		sync_ack();
		for (const auto& s : spots)
			EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), expected(s[0], s[1], timeval, weights[i]), 4))
				<< s[0] << ", " << s[1] << " at beat " << beats[i];
	}
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

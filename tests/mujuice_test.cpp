// The two-picture effect of the phone's screen.
#include "../content/mujuice.cpp"

#include <math.h>

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

float fract(float x)
{
	return x - floorf(x);
}

// The second picture as it is, the first shaken sideways in saw-tooth bands,
// added around mid-grey; the pictures are turned against each other, so
// trading them moves the shake from red to green.
TEST(MujuiceDraw, ShakesTheFirstPictureOverTheSecond)
{
	pictures_dir("scratch-pictures");
	pictures_ramp("gfx/mujuice.jpg", 100);
	pictures_ramp("gfx/mujuice2.jpg", 160, true);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	timeval = 3.7f;
	effect.draw();
	for (int y = 10; y < 480; y += 47) {
		int x = 300 + y / 2;
		glm::vec2 uv((x + 0.5f) / 854.0f, (y + 0.5f) / 480.0f);
		float shake = fract(uv.y * 40.0f + timeval) * 0.02f + fract(uv.y * -30.0f + timeval) * 0.02f;
		glm::vec3 c = ramp_at(uv.x, uv.y, 160, true) + ramp_at(uv.x + shake, uv.y, 100) - 0.5f;
		EXPECT_TRUE(rgb_near(pixel_at(x, y), c, 3)) << "row " << y;
	}
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

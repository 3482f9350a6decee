// The group logo: its mask added in bands that move with the time.
#include "../content/qvdlogo.cpp"

#include <math.h>

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(QvdlogoDraw, MaskAddsInMovingBands)
{
	pictures_dir("scratch-pictures");
	pictures_ramp("gfx/qvdlogo.jpg", 30);
	pictures_ramp("gfx/qvdlogomask.jpg", 90, true);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	for (float t : { 0.0f, 1.3f }) {
		timeval = t;
		effect.draw();
		for (int y = 7; y < 480; y += 53) {
			int x = 800 - y;
			glm::vec2 uv((x + 0.5f) / 854.0f, (y + 0.5f) / 480.0f);
			float band = sinf(t * -2.0f + uv.y * 60.0f) + 2.0f;
			glm::vec3 c = ramp_at(uv.x, uv.y, 30) + band * 0.33f * ramp_at(uv.x, uv.y, 90, true);
			EXPECT_TRUE(rgb_near(pixel_at(x, y), c, 4)) << "time " << t << ", row " << y;
		}
	}
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

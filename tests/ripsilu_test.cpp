// The ripsilu picture full screen, brightened by ripsilu_mm.
#include "../content/ripsilu.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(RipsiluDraw, PictureFillsTheScreenUprightAndBrightens)
{
	pictures_dir("scratch-pictures");
	pictures_ramp("gfx/ripsilu.jpg", 70);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	const int spots[][2] = { { 3, 2 }, { 850, 2 }, { 3, 477 }, { 850, 477 }, { 300, 200 } };
	for (float mm : { 0.0f, 0.25f }) {
		ripsilu_mm = mm;
		effect.draw();
		for (const auto& s : spots) {
			glm::vec3 c = ramp_at((s[0] + 0.5f) / 854.0f, (s[1] + 0.5f) / 480.0f, 70) + mm;
			EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), c)) << s[0] << ", " << s[1] << " +" << mm;
		}
	}
	ripsilu_mm = 0.0f;
	// where the script clears depth to before drawing it without the test
	EXPECT_NEAR(gltest_depth_drawn([] { effect.draw(); }), 0.5f * ripsilu_depth + 0.5f, 1e-6f);
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

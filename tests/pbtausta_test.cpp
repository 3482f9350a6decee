// The polyhedron stage's background picture, full screen and unchanged.
#include "../content/pbtausta.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(PbtaustaDraw, PictureFillsTheScreenUpright)
{
	pictures_dir("scratch-pictures");
	pictures_ramp("gfx/pb.jpg", 220);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	// The picture lies at depth 0.9: in front of a cleared depth buffer.
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
	effect.draw();
	glDisable(GL_DEPTH_TEST);
	const int spots[][2] = { { 3, 2 }, { 850, 2 }, { 3, 477 }, { 850, 477 }, { 500, 300 } };
	for (const auto& s : spots) {
		glm::vec3 c = ramp_at((s[0] + 0.5f) / 854.0f, (s[1] + 0.5f) / 480.0f, 220);
		EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), c)) << s[0] << ", " << s[1];
	}
	// where the script clears depth to before drawing it without the test
	EXPECT_NEAR(gltest_depth_drawn([] { effect.draw(); }), 0.5f * pbtausta_depth + 0.5f, 1e-6f);
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

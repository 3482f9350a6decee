// The lace: a black mask with a closing hole, cut by the lace picture.
#include "../content/lace.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

// Pixel of the 512 x 256 target at distance r right of the centre, in
// units where the target is 3.5 wide.
int right_of_centre(float r)
{
	return (int)((1.75f + r) / 3.5f * 512.0f);
}

TEST(LaceDraw, HoleWaitsThenClosesLacePatternCuts)
{
	pictures_dir("scratch-overlay");
	pictures_flat("gfx/lacetrace.jpg", 8, 8, rgba(0, 0, 0));
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	fbo_c target(512, 256, 0);
	target.bind();

	auto frame = [](float beat, int steps) {
		beatgrid = beat;
		frameskip = steps;
		glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		effect.run();
	};

	for (int i = 0; i < 5; i++)
		frame(50.0f, 1000);  // before "startlacing" the hole keeps radius 2
	EXPECT_TRUE(rgb_near(pixel_at(256, 128), 255, 255, 255));
	EXPECT_TRUE(rgb_near(pixel_at(right_of_centre(1.7f), 128), 255, 255, 255));

	// 100 steps after "startlacing" the spring has drawn the hole in to
	// 1.771 (worked out by hand): clear at 1.5; the pixel (504, 249), at
	// radius 1.946 near the corner, is 0.526 black.
	frame(90.0f, 100);
	EXPECT_TRUE(rgb_near(pixel_at(right_of_centre(1.5f), 128), 255, 255, 255));
	EXPECT_TRUE(rgb_near(pixel_at(504, 249), 121, 121, 121, 8));
	for (int i = 0; i < 8; i++)
		frame(90.0f, 1000);  // shrunk to 0.5
	EXPECT_TRUE(rgb_near(pixel_at(256, 128), 255, 255, 255));
	EXPECT_TRUE(rgb_near(pixel_at(right_of_centre(0.6f), 128), 178, 178, 178, 8));
	EXPECT_TRUE(rgb_near(pixel_at(right_of_centre(1.5f), 128), 0, 0, 0));

	for (int i = 0; i < 8; i++)
		frame(110.0f, 1000);  // "startlacing2": closed for good
	EXPECT_TRUE(rgb_near(pixel_at(256, 128), 0, 0, 0));

	// Where the lace picture is bright, the black does not cover.
	pictures_flat("gfx/lacetrace.jpg", 8, 8, rgba(255, 0, 0));
	effect.initgl();
	frame(110.0f, 1);
	EXPECT_TRUE(rgb_near(pixel_at(256, 128), 255, 255, 255));
	target.unbind();
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

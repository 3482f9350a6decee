// The roses: the beat saw-tooth and the band revealed from the right.
#include "../content/velmor.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(VelmorBeat, SawFromTwoTowardsOne)
{
	EXPECT_FLOAT_EQ(beat_saw(1.0f), 2.0f);
	EXPECT_FLOAT_EQ(beat_saw(3.0f), 2.0f);
	EXPECT_FLOAT_EQ(beat_saw(-1.0f), 2.0f);
	EXPECT_FLOAT_EQ(beat_saw(2.0f), 1.5f);
	EXPECT_NEAR(beat_saw(2.999f), 1.0f, 1e-3f);
	for (float b = -3.0f; b < 400.0f; b += 0.013f) {
		float s = beat_saw(b);
		ASSERT_GE(s, 1.0f) << b;
		ASSERT_LE(s, 2.0f) << b;
	}
}

TEST(VelmorDraw, HiddenThenSweepsInFromTheRight)
{
	pictures_dir("scratch-overlay");
	pictures_flat("gfx/roses.png", 8, 8, rgba(128, 128, 128));
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	fbo_c target(1024, 128, FBO_CLAMP);
	target.bind();
	timeval = 0.0f;
	beatgrid = 1.0f;

	auto frame = [](int steps) {
		frameskip = steps;
		glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		effect.run();
	};

	frame(1);  // distdist 5.99: nothing shows
	EXPECT_TRUE(rgb_near(pixel_at(1000, 64), 0, 0, 0));
	frame(449);  // 1.5: opaque right of 0.52 of the width
	EXPECT_TRUE(rgb_near(pixel_at(100, 64), 0, 0, 0));
	EXPECT_TRUE(rgb_near(pixel_at(1000, 64), 64, 64, 64));  // 0.5 squared on the beat
	frame(300);
	EXPECT_TRUE(rgb_near(pixel_at(100, 64), 64, 64, 64));

	beatgrid = 2.0f;  // halfway down the saw: 0.5 to the power 1.5
	frame(0);
	EXPECT_TRUE(rgb_near(pixel_at(500, 64), 91, 91, 91));
	beatgrid = 2.999f;
	frame(0);
	EXPECT_TRUE(rgb_near(pixel_at(500, 64), 128, 128, 128));
	target.unbind();
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

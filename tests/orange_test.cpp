// The orange pattern: its contract curve and the light it gives.
#include "../content/orange.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

GLuint orangetex = 0;

namespace {

TEST(OrangeContract, SwingsThenSettles)
{
	EXPECT_FLOAT_EQ(contract_at(0.0f), 0.0f);
	EXPECT_NEAR(contract_at(1.5707964f), 0.84292f, 1e-4f);
	EXPECT_NEAR(contract_at(12.5f), -0.78316f, 1e-4f);
	EXPECT_FLOAT_EQ(contract_at(25.0f), -1.5f);
	EXPECT_FLOAT_EQ(contract_at(200.0f), -1.5f);
}

TEST(OrangeDraw, LitGrowsWithDistanceAndContract)
{
	pictures_dir("scratch-overlay");
	pictures_flat("gfx/grey.png", 8, 8, rgba(200, 200, 200));
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	texture_c grey = texture_c();
	grey.load("gfx/grey.png", TEX_REPEAT);

	// With no texture there is nothing to light.
	orangetex = 0;
	timeval = 8.5f * 3.14159265f;
	effect.draw();
	EXPECT_TRUE(rgb_near(pixel_at(427, 360), 0, 0, 0));

	// At 8.5 pi the lobes are at their extremes straight up (none) and
	// straight down (full): lit = d^2 + 0.8 - lobe.
	orangetex = grey.textureid;
	effect.draw();
	EXPECT_TRUE(rgb_near(pixel_at(427, 360), 210, 210, 210, 4));
	EXPECT_TRUE(rgb_near(pixel_at(427, 120), 10, 10, 10, 4));

	// At 4.5 pi contract is still -0.41: only far out is lit.
	timeval = 4.5f * 3.14159265f;
	effect.draw();
	EXPECT_TRUE(rgb_near(pixel_at(427, 360), 0, 0, 0));
	EXPECT_TRUE(rgb_near(pixel_at(427, 456), 105, 105, 105, 4));
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

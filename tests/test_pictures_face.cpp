// The face: its fades on the beat and where ylift puts the picture.
#include "../content/face.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(FaceMix, BackdropFadesThenFaceFadesIn)
{
	facemix_s m = facemix(258.0f);
	EXPECT_FALSE(m.show_face);
	EXPECT_NEAR(m.mm, sqrtf(0.5f) - 1.0f, 1e-6f);
	m = facemix(269.0f);
	EXPECT_FLOAT_EQ(m.mm, 0.0f);
	EXPECT_FLOAT_EQ(m.mmx, 0.5f);
	m = facemix(271.0f);
	EXPECT_TRUE(m.show_face);
	EXPECT_FLOAT_EQ(m.mm, 0.5f);
	EXPECT_FLOAT_EQ(m.mmx, 1.0f);
}

class FaceDraw : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_NO_FATAL_FAILURE(gltest_open());
		static bool loaded = false;
		if (loaded)
			return;
		pictures_dir("scratch-pictures");
		pictures_flat("gfx/face.jpg", 8, 8, rgba(200, 100, 50));
		pictures_flat("gfx/kallotausta.jpg", 8, 8, rgba(40, 80, 120));
		effect.initgl();
		EXPECT_EQ(gl_error(), 0u);
		loaded = true;
	}

	void frame(float beat, float lift)
	{
		beatgrid = beat;
		ylift = lift;
		glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		effect.draw();
	}
};

TEST_F(FaceDraw, WhiteBeforeTheStageBlackAt270)
{
	frame(250.0f, 0.0f);
	EXPECT_TRUE(rgb_near(pixel_at(0, 0), 255, 255, 255));
	EXPECT_TRUE(rgb_near(pixel_at(853, 479), 255, 255, 255));
	frame(258.0f, 0.0f);  // backdrop brightened by 1 - sqrt(0.5)
	EXPECT_TRUE(rgb_near(pixel_at(427, 240), 115, 155, 195));
	frame(270.0f, 0.0f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 240), 0, 0, 0));
	frame(272.0f, 0.0f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 240), 200, 100, 50));
	EXPECT_EQ(gl_error(), 0u);
}

TEST_F(FaceDraw, LiftMovesThePicture)
{
	// Lifted by -1 the lower edge sits 0.08 below the middle of the screen.
	frame(272.0f, -1.0f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 215), 0, 0, 0));
	EXPECT_TRUE(rgb_near(pixel_at(427, 226), 200, 100, 50));
	// Lowered by 1 the upper edge sits just above the middle.
	frame(272.0f, 1.0f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 238), 200, 100, 50));
	EXPECT_TRUE(rgb_near(pixel_at(427, 243), 0, 0, 0));
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

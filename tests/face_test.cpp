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
		pictures_ramp("gfx/face.jpg", 40);
		pictures_ramp("gfx/kallotausta.jpg", 200, true);
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

// The picture spans the screen's width and 500/480 of its height, its lower
// edge 0.08 + lift below the screen's.
glm::vec2 face_uv(int x, int y, float lift)
{
	float ndc = (y + 0.5f) / 240.0f - 1.0f;
	return glm::vec2((x + 0.5f) / 854.0f, (ndc + 1.0f + lift + 0.08f) * 480.0f / 1000.0f);
}

const int spots[][2] = { { 20, 15 }, { 833, 15 }, { 20, 464 }, { 833, 464 }, { 427, 240 } };

TEST_F(FaceDraw, BackdropFadesThenTheFaceShowsUpright)
{
	for (const auto& s : spots) {
		glm::vec2 uv = face_uv(s[0], s[1], 0.0f);
		frame(250.0f, 0.0f);
		EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), 255, 255, 255));
		frame(258.0f, 0.0f);  // backdrop brightened by 1 - sqrt(0.5)
		EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), ramp_at(uv.x, uv.y, 200, true) + 1.0f - sqrtf(0.5f)))
			<< s[0] << ", " << s[1];
		frame(270.0f, 0.0f);
		EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), 0, 0, 0));
		frame(272.0f, 0.0f);
		EXPECT_TRUE(rgb_near(pixel_at(s[0], s[1]), ramp_at(uv.x, uv.y, 40))) << s[0] << ", " << s[1];
	}
	// where the script clears depth to before drawing it without the test
	EXPECT_NEAR(gltest_depth_drawn([] { effect.draw(); }), 0.5f * face_depth + 0.5f, 1e-6f);
	EXPECT_EQ(gl_error(), 0u);
}

TEST_F(FaceDraw, LiftMovesThePicture)
{
	// Lifted by -1 the lower edge sits 0.08 below the middle of the screen.
	frame(272.0f, -1.0f);
	EXPECT_TRUE(rgb_near(pixel_at(427, 215), 0, 0, 0));
	glm::vec2 uv = face_uv(100, 226, -1.0f);
	EXPECT_TRUE(rgb_near(pixel_at(100, 226), ramp_at(uv.x, uv.y, 40)));
	// Lowered by 1 the upper edge sits just above the middle.
	frame(272.0f, 1.0f);
	uv = face_uv(700, 238, 1.0f);
	EXPECT_TRUE(rgb_near(pixel_at(700, 238), ramp_at(uv.x, uv.y, 40)));
	EXPECT_TRUE(rgb_near(pixel_at(427, 243), 0, 0, 0));
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

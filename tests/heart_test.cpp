// The heart and its gone-text: the words per beat, the beat swell and
// where the words land.
#include "../content/heart.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(HeartWords, OneMoreWordPerBeatAfterTheEvent)
{
	EXPECT_LE(word_count(0.0f, 59.0f), 0);
	EXPECT_LE(word_count(59.0f, 59.0f), 0);
	EXPECT_LE(word_count(59.99f, 59.0f), 0);
	EXPECT_EQ(word_count(60.0f, 59.0f), 1);
	EXPECT_EQ(word_count(60.95f, 59.0f), 1);
	EXPECT_EQ(word_count(61.0f, 59.0f), 2);
	EXPECT_EQ(word_count(62.5f, 59.0f), 3);
	EXPECT_EQ(word_count(63.0f, 59.0f), 4);
	EXPECT_EQ(word_count(1000.0f, 59.0f), 4);
	EXPECT_EQ(word_count(10.5f, 8.0f), 2);  // follows the event, not a fixed beat
}

// Screen pixel of a point in the shader's input space, zoom 1.
int px_x(float x)
{
	return (int)(((x * 2.0f - 1.0f) * 0.3f * (480.0f / 854.0f) + 1.0f) * 0.5f * 854.0f);
}

int px_y(float y)
{
	return (int)(((y * 2.0f - 1.0f) * 0.3f + 1.0f) * 0.5f * 480.0f);
}

// The heart (a ramp picture, brightness 0.9) as it shows at screen pixel
// (x, y) at the given zoom.
glm::vec3 heart_at(int x, int y, float zoom)
{
	float u = (((x + 0.5f) / 427.0f - 1.0f) / (0.3f * 480.0f / 854.0f) / zoom + 1.0f) * 0.5f;
	float v = (((y + 0.5f) / 240.0f - 1.0f) / 0.3f / zoom + 1.0f) * 0.5f;
	return ramp_at(u, v, 200) * 0.9f;
}

class HeartDraw : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_NO_FATAL_FAILURE(gltest_open());
		static bool loaded = false;
		if (loaded)
			return;
		pictures_dir("scratch-heart");
		pictures_ramp("gfx/heart.png", 200);
		// Four words in four colours, 262 pixels each.
		pictures_png("gfx/gone.png", 1000, 10, [](int x, int) {
			static const uint32_t c[4] = {
				rgba(0, 250, 0), rgba(0, 0, 250), rgba(250, 250, 0), rgba(0, 250, 250)};
			return c[x / 262 < 4 ? x / 262 : 3];
		});
		effect.initgl();
		EXPECT_EQ(gl_error(), 0u);
		loaded = true;
	}

	void frame(float beat, int steps)
	{
		beatgrid = beat;
		frameskip = steps;
		timeval = 0.0f;  // brightness 0.9
		glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		effect.run();
	}
};

TEST_F(HeartDraw, WordsAppearOnePerBeat)
{
	int wy = px_y(0.575f);
	int wx[4];
	for (int k = 0; k < 4; k++)
		wx[k] = px_x(0.4f * k - 0.07f);

	frame(59.5f, 1);
	EXPECT_TRUE(rgb_near(pixel_at(wx[0], wy), 0, 0, 0));
	EXPECT_TRUE(rgb_near(pixel_at(wx[1], wy), heart_at(wx[1], wy, 1.0f)));  // only the heart
	EXPECT_TRUE(rgb_near(pixel_at(px_x(0.9f), px_y(0.1f)), heart_at(px_x(0.9f), px_y(0.1f), 1.0f)));

	frame(61.5f, 1);
	EXPECT_TRUE(rgb_near(pixel_at(wx[0], wy), 0, 225, 0));
	EXPECT_TRUE(rgb_near(pixel_at(wx[1], wy), 0, 0, 225));
	EXPECT_TRUE(rgb_near(pixel_at(wx[2], wy), heart_at(wx[2], wy, 1.0f)));
	EXPECT_TRUE(rgb_near(pixel_at(wx[3], wy), 0, 0, 0));

	frame(64.5f, 1);
	EXPECT_TRUE(rgb_near(pixel_at(wx[2], wy), 225, 225, 0));
	EXPECT_TRUE(rgb_near(pixel_at(wx[3], wy), 0, 225, 225));
	EXPECT_EQ(gl_error(), 0u);
}

TEST_F(HeartDraw, SwellsToOnePointOneOnTheBeat)
{
	// Just outside the heart's right edge at size 1, inside at 1.1.
	int x = px_x(1.04f), y = px_y(0.2f);
	frame(70.5f, 0);
	EXPECT_TRUE(rgb_near(pixel_at(x, y), 0, 0, 0));
	frame(71.05f, 0);
	EXPECT_TRUE(rgb_near(pixel_at(x, y), heart_at(x, y, 1.1f)));
	frame(71.05f, 0);
	EXPECT_TRUE(rgb_near(pixel_at(x, y), heart_at(x, y, 1.1f)));

	// Past the first tenth the spring pulls it back to 1: after 20 steps
	// it is at 1.034 (worked out by hand), inside 1.06 no more.
	frame(71.5f, 20);
	EXPECT_TRUE(rgb_near(pixel_at(px_x(1.03f), y), 0, 0, 0));
	EXPECT_TRUE(rgb_near(pixel_at(px_x(1.01f), y), heart_at(px_x(1.01f), y, 1.034f)));
	for (int i = 0; i < 20; i++)
		frame(71.5f, 50);
	EXPECT_TRUE(rgb_near(pixel_at(x, y), 0, 0, 0));
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

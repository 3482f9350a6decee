// The gear: its stops, and when and where it is drawn.
#include "../content/gear.cpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "gltest.h"

namespace {

// Draws one frame over black; returns the number of lit pixels.
int frame()
{
	glClear(GL_COLOR_BUFFER_BIT);
	gear->run();
	std::vector<uint8_t> px = gltest_read(0, 0, 854, 480);
	int n = 0;
	for (size_t i = 0; i < px.size(); i += 4)
		n += px[i] != 0;
	return n;
}

// A fresh working folder whose gfx/gear.png is the given 8 x 8 RGBA
// picture, loaded, drawn over black without depth.
void gear_scene(const std::vector<uint8_t>& px)
{
	gltest_open();
	ASSERT_FALSE(testing::Test::HasFatalFailure());
	char dir[] = "/tmp/gear_XXXXXX";
	ASSERT_NE(mkdtemp(dir), nullptr);
	ASSERT_EQ(chdir(dir), 0);
	mkdir("gfx", 0755);
	ASSERT_NE(stbi_write_png("gfx/gear.png", 8, 8, 4, px.data(), 8 * 4), 0);
	effect.initgl();
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
}

}  // namespace

TEST(Gear, WaitingGearIsNeverDrawnAndNeedsNoGL)
{
	// no GL context here: any GL call would crash
	EXPECT_EQ(ratpos.pos, glm::vec2(2.0f, 0.8f));  // untouched in this process
	gearAppear = 0;
	frameskip = 3;
	for (int f = 0; f < 400; f++)
		gear->run();
	EXPECT_NEAR(ratpos.pos.x, 1.5f, 1e-3f);
}

TEST(GearGL, SlidesInRestsAndLeaves)
{
	ASSERT_NO_FATAL_FAILURE(gear_scene(std::vector<uint8_t>(8 * 8 * 4, 255)));  // an opaque square
	beatgrid = 0.25f * 3.14159265f / 0.4f;  // turned by 45 degrees: widest on screen
	frameskip = 1;
	gearAppear = 0;
	for (int f = 0; f < 50; f++)
		ASSERT_EQ(frame(), 0);

	// comes in: drawn from the first frame on which its centre is at 1.4 or less
	gearAppear = 1;
	int frames = 0;
	for (; ratpos.pos.x > 1.4f; frames++) {
		int lit = frame();
		ASSERT_EQ(lit > 0, ratpos.pos.x <= 1.4f) << frames;
	}
	EXPECT_GT(frames, 10);  // the spring is slow

	// rests in the upper right corner; other values keep the target
	gearAppear = 9;
	for (int f = 0; f < 1500; f++)
		frame();
	EXPECT_NEAR(ratpos.pos.x, 0.9f, 1e-3f);
	EXPECT_FALSE(glIsEnabled(GL_BLEND));
	EXPECT_EQ(gltest_pixel(811, 432) & 0xffffff, 0xffffffu);  // its centre
	EXPECT_EQ(gltest_pixel(200, 240) & 0xffffff, 0u);
	EXPECT_EQ(gltest_pixel(811, 20) & 0xffffff, 0u);

	// leaves up and to the right, and is not drawn once past 1.4
	gearAppear = 2;
	for (int f = 0; f < 3000 && ratpos.pos.x <= 1.4f; f++)
		frame();
	EXPECT_GT(ratpos.pos.y, 1.0f);
	EXPECT_EQ(frame(), 0);
	EXPECT_EQ(ratpos.targetpos, glm::vec2(1.5f, 1.2f));
	EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// The gear turns clockwise, 0.4 radians per beat, from a quarter turn left
// at beat 0. A picture opaque only in its lower-left quarter shows that
// quarter in the visible lower left of the gear only once upright (beat
// pi / 2 / 0.4); turning the other way it would be upside down then.
TEST(GearGL, TurnsClockwiseWithTheBeat)
{
	std::vector<uint8_t> px(8 * 8 * 4, 0);
	for (int y = 4; y < 8; y++)
		for (int x = 0; x < 4; x++)
			for (int c = 0; c < 4; c++)
				px[(y * 8 + x) * 4 + c] = 255;
	ASSERT_NO_FATAL_FAILURE(gear_scene(px));
	gearAppear = 1;
	ratpos.init(glm::vec2(0.9f, 0.8f), glm::vec2(0.9f, 0.8f), glm::vec2(0.02f), glm::vec2(0.095f), glm::vec2(0.0f));
	frameskip = 0;
	const float beats[] = { 0.0f, 1.5707963f / 0.4f, 3.1415927f / 0.4f };
	const bool lit[] = { false, true, false };
	for (int i = 0; i < 3; i++) {
		beatgrid = beats[i];
		frame();
		// the middle of the gear's lower-left quarter, 84 pixels from its centre
		EXPECT_EQ((gltest_pixel(727, 348) & 0xff) != 0, lit[i]) << "beat " << beats[i];
	}
}

// The clip-space starfield: drift, the two respawn branches, the default
// drift it leaves for the next draw, and where a star lands on screen.
#include <gtest/gtest.h>

#include "../content/starfield.cpp"
#include "gltest.h"
#include "test_phone_support.h"

namespace {

TEST(Starfield, ApproachingStarsComeBackAtTheFarEnd)
{
	stars[0] = glm::vec3(0.5f, 0.5f, 0.003f);
	stars[1] = glm::vec3(0.5f, 0.5f, 0.5f);
	stars[2] = glm::vec3(0.5f, 0.5f, -0.15f);  // left behind by a receding phase
	move_stars(-0.004f);
	EXPECT_TRUE(stars[0].z >= 1.0f && stars[0].z <= 1.1f) << stars[0].z;
	EXPECT_FLOAT_EQ(stars[1].z, 0.496f);
	EXPECT_TRUE(stars[2].z >= 1.0f && stars[2].z <= 1.1f);

	// no drift still counts as approaching
	stars[2] = glm::vec3(0.5f, 0.5f, -0.15f);
	move_stars(0.0f);
	EXPECT_FLOAT_EQ(stars[1].z, 0.496f);
	EXPECT_TRUE(stars[2].z >= 1.0f && stars[2].z <= 1.1f);
}

TEST(Starfield, RecedingStarsComeBackFromBehind)
{
	stars[0] = glm::vec3(0.5f, 0.5f, 0.999f);
	stars[1] = glm::vec3(0.5f, 0.5f, 0.99f);
	stars[2] = glm::vec3(0.5f, 0.5f, -0.5f);
	move_stars(0.004f);
	EXPECT_TRUE(stars[0].z >= -0.2f && stars[0].z <= -0.1f) << stars[0].z;
	EXPECT_FLOAT_EQ(stars[1].z, 0.994f);
	EXPECT_FLOAT_EQ(stars[2].z, -0.496f);  // behind the viewer is kept
}

TEST(StarfieldGL, DrawSetsTheDefaultDriftAndProjectsByDepth)
{
	gltest_open();
	effect.initgl();
	for (glm::vec3& s : stars)
		s = glm::vec3(0.5f, 0.0f, 0.5f);  // x / z = 1: the right edge
	stars[0] = glm::vec3(0.25f, 0.25f, 0.5f);
	sf_zchange = 0.0f;
	frameskip = 3;
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT);
	effect.run();
	EXPECT_FLOAT_EQ(sf_zchange, -0.012f);
	EXPECT_EQ(stars[0], glm::vec3(0.25f, 0.25f, 0.5f));
	// (0.5, 0.5) in normalised coordinates, half bright
	uint32_t px = gltest_pixel(640, 360);
	EXPECT_NEAR((int)(px & 0xff), 128, 2);
	EXPECT_EQ(gltest_pixel(427, 240) & 0xffffff, 0u);

	effect.run();
	EXPECT_FLOAT_EQ(stars[0].z, 0.488f);
}

}  // namespace

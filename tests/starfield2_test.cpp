// The flown-through starfield: its steady motion and the respawn far ahead.
#include <gtest/gtest.h>

#include "../content/starfield2.cpp"
#include "gltest.h"
#include "test_phone_support.h"

namespace {

TEST(Starfield2, MovesAndRespawnsFarAhead)
{
	for (int i = 0; i < starcount; i++)
		resetstar(i, 100.0f, 0.0f);
	stars[0] = glm::vec3(1, 2, 99.8f);
	stars[1] = glm::vec3(1, 2, 50.0f);
	move_stars(0.0f);  // a frame without a logic step
	EXPECT_EQ(stars[0], glm::vec3(1, 2, 99.8f));
	move_stars(2 * 0.4f);
	EXPECT_FLOAT_EQ(stars[1].z, 50.8f);
	EXPECT_TRUE(stars[0].z >= -120.0f && stars[0].z <= -100.0f) << stars[0].z;
	EXPECT_TRUE(fabsf(stars[0].x) <= 100.0f && fabsf(stars[0].y) <= 100.0f);
	for (const glm::vec3& s : stars)
		ASSERT_LE(s.z, 100.0f);
}

// Stars land where a 70-degree camera turned by starang puts them.
TEST(Starfield2GL, StarsLandWhereTheCameraPutsThem)
{
	gltest_open();
	effect.initgl();
	frameskip = 0;
	for (glm::vec3& s : stars)
		s = glm::vec3(0, 0, 50);  // behind the eye
	stars[0] = glm::vec3(3, 2, -10);  // 10 ahead, 3 right, 2 up
	stars[1] = glm::vec3(10, 0, 0);   // ahead after a quarter turn left
	glClearColor(0, 0, 0, 1);
	for (float ang : { 0.0f, 90.0f }) {
		starang = ang;
		glClear(GL_COLOR_BUFFER_BIT);
		effect.run();
		// 427 + 427 * 0.80271 * 0.3, 240 + 240 * 1.42815 * 0.2
		EXPECT_EQ((gltest_pixel(530, 308) & 0xff) > 150, ang == 0.0f) << ang;
		EXPECT_EQ((gltest_pixel(427, 240) & 0xff) > 150, ang == 90.0f) << ang;
		EXPECT_EQ(gltest_pixel(324, 308) & 0xff, 0u) << ang;
		EXPECT_EQ(gltest_pixel(530, 171) & 0xff, 0u) << ang;
	}
	// 0.4 a logic step towards the eye: five steps bring the first star to 8
	starang = 0.0f;
	stars[0] = glm::vec3(3, 2, -10);
	frameskip = 5;
	glClear(GL_COLOR_BUFFER_BIT);
	effect.run();
	EXPECT_GT(gltest_pixel(555, 325) & 0xff, 150u);
	EXPECT_EQ(gltest_pixel(530, 308) & 0xff, 0u);
	frameskip = 0;
}

}  // namespace

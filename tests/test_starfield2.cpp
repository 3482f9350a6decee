// The flown-through starfield: its steady motion and the respawn far ahead.
#include <gtest/gtest.h>

#include "../content/starfield2.cpp"
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

}  // namespace

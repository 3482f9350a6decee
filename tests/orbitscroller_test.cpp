// The text ring around the phone: segment order and shape.
#include <gtest/gtest.h>
#include <algorithm>

#include "../content/orbitscroller.cpp"

namespace {

TEST(OrbitRing, SegmentsGoFromTheEndsToTheMiddle)
{
	std::vector<int> order;
	for (int i = 0; i < segments; i++)
		order.push_back(segment_of_slot(i));
	EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 4), (std::vector<int>{0, 49, 1, 48}));
	EXPECT_EQ(order[48], 24);
	EXPECT_EQ(order[49], 25);
	std::sort(order.begin(), order.end());
	for (int i = 0; i < segments; i++)
		EXPECT_EQ(order[i], i);
}

TEST(OrbitRing, SlotsAreOrderedBackToFront)
{
	glm::vec3 pos[vertcount];
	glm::vec2 uv[vertcount];
	build_ring(70.0f, 1.3f, pos, uv);
	float last_z[2] = {-1e9f, -1e9f};
	for (int i = 0; i < segments; i++) {
		const glm::vec3* p = pos + 6 * i;
		const glm::vec2* t = uv + 6 * i;
		EXPECT_EQ(p[4], p[1]);
		EXPECT_EQ(p[5], p[2]);
		EXPECT_NEAR(glm::length(glm::vec2(p[0].x, p[0].z)), 70.0f, 1e-3f);
		EXPECT_EQ(p[0].y, -p[1].y);
		EXPECT_FLOAT_EQ(t[0].x, segment_of_slot(i) / 50.0f);
		EXPECT_EQ(glm::vec2(t[3]), glm::vec2(t[2].x, 1.0f));
		// each end of the arc walks towards the viewer (+z)
		float z = (p[0].z + p[2].z) * 0.5f;
		EXPECT_GT(z, last_z[i % 2]) << "slot " << i;
		last_z[i % 2] = z;
	}
}

// The ring's frame: the phone's, turned 53 degrees clockwise about its
// depth axis (x goes to cos 53, -sin 53) and pushed 34 back.
TEST(OrbitRing, FrameTurnsAndPushesBack)
{
	phone_projection = glm::mat4(1.0f);
	phone_rotation_mv = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -100));
	glm::mat4 m = ring_mvp();
	glm::vec4 x = m * glm::vec4(1, 0, 0, 0), o = m * glm::vec4(0, 0, 0, 1);
	EXPECT_NEAR(x.x, 0.60182f, 1e-4f);
	EXPECT_NEAR(x.y, -0.79864f, 1e-4f);
	EXPECT_NEAR(o.z, -134.0f, 1e-3f);
}

}  // namespace

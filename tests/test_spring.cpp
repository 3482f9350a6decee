#include <gtest/gtest.h>

#include "spring.h"
#include "util.h"

TEST(Spring, SlowSpringGetsHalfThePull)
{
	spring_c<float> s(0.0f, 10.0f, 0.1f, 0.9f);
	s.iterate(1);
	EXPECT_FLOAT_EQ(s.vel, 0.5f);
	EXPECT_FLOAT_EQ(s.pos, 0.5f);
	s.iterate(1);
	EXPECT_FLOAT_EQ(s.vel, 0.925f);
	EXPECT_FLOAT_EQ(s.pos, 1.425f);
}

TEST(Spring, FastSpringGetsTheFullPull)
{
	spring_c<float> s(0.0f, 10.0f, 0.1f, 1.0f);
	s.vel = 2.0f;
	s.iterate(1);
	EXPECT_FLOAT_EQ(s.vel, 2.0f + 1.0f);
}

TEST(Spring, ZeroStepsAndRestChangeNothing)
{
	spring_c<float> s(3.0f, 7.0f, 0.2f, 0.5f);
	s.vel = 0.3f;
	s.iterate(0);
	s.iterate(-4);
	EXPECT_FLOAT_EQ(s.pos, 3.0f);
	EXPECT_FLOAT_EQ(s.vel, 0.3f);

	spring_c<float> rest(4.0f, 0.3f, 0.9f);
	rest.iterate(50);
	EXPECT_FLOAT_EQ(rest.pos, 4.0f);
	EXPECT_FLOAT_EQ(rest.vel, 0.0f);
}

TEST(Spring, VectorComponentsAreIndependent)
{
	spring_c<glm::vec3> v(glm::vec3(0.0f), glm::vec3(10.0f, 0.0f, -10.0f),
		glm::vec3(0.1f, 0.5f, 0.2f), glm::vec3(0.9f));
	spring_c<float> x(0.0f, 10.0f, 0.1f, 0.9f);
	spring_c<float> z(0.0f, -10.0f, 0.2f, 0.9f);
	v.iterate(7);
	x.iterate(7);
	z.iterate(7);
	EXPECT_FLOAT_EQ(v.pos.x, x.pos);
	EXPECT_FLOAT_EQ(v.pos.y, 0.0f);
	EXPECT_FLOAT_EQ(v.pos.z, z.pos);

	spring_c<glm::vec3> empty;
	EXPECT_EQ(empty.pos, glm::vec3(0.0f));
	EXPECT_EQ(empty.targetpos, glm::vec3(0.0f));
}

TEST(Util, RandomHelpersStayInRange)
{
	for (int i = 0; i < 20000; i++) {
		float n = util::rnd_n();
		ASSERT_GE(n, -1.0f);
		ASSERT_LE(n, 1.0f);
		float r = util::rnd(2.0f, 4.0f);
		ASSERT_GE(r, 2.0f);
		ASSERT_LE(r, 4.0f);
	}
	EXPECT_FLOAT_EQ(fracf(-0.25f), 0.75f);
	EXPECT_FLOAT_EQ(fracf(3.5f), 0.5f);
}

#include <gtest/gtest.h>
#include <math.h>

#include <algorithm>
#include <vector>

#include <glm/gtc/random.hpp>

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

TEST(Util, BallStopsForEveryRadius)
{
	// Huge radii once overflowed glm's rejection test and never returned.
	for (float r : { 0.5f, 250.0f, 1e22f, 1e30f, 3e38f }) {
		glm::vec3 sum(0.0f);
		float longest = 0.0f;
		for (int i = 0; i < 2000; i++) {
			glm::vec3 p = util::ball(r);
			ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << r;
			float len = glm::length(p / r);
			ASSERT_LE(len, 1.0001f) << r;
			longest = std::max(longest, len);
			sum += p / r;
		}
		EXPECT_GT(longest, 0.9f) << r;  // it fills the ball, not a point
		EXPECT_LT(glm::length(sum / 2000.0f), 0.05f) << r;
	}
	for (float r : { 0.0f, -1.0f, INFINITY, -INFINITY, NAN })
		EXPECT_EQ(util::ball(r), glm::vec3(0.0f)) << r;
}


// The layouts were made with glm as GCC builds it; the helpers must give the
// same numbers from the same generator state, call for call.
TEST(Util, RandomDrawsAreGlmsAsTheDesktopBuildsThem)
{
// GCC for ARM orders glm's rand() calls otherwise; the helpers do not change.
#if defined(__GNUC__) && !defined(__clang__) && (defined(__x86_64__) || defined(__i386__))
	const glm::vec3 lo(-100.0f, -3.0f, 20.0f), hi(100.0f, 5.0f, 900.0f);
	// 300 rounds of every kind of draw, from glm or from the helpers
	auto draws = [&](unsigned seed, bool helpers) {
		srand(seed);
		std::vector<float> out;
		for (int i = 0; i < 300; i++) {
			glm::vec3 v = helpers ? util::linear(lo, hi) : glm::linearRand(lo, hi);
			glm::vec2 w = helpers ? util::linear(glm::vec2(lo), glm::vec2(hi))
				: glm::linearRand(glm::vec2(lo), glm::vec2(hi));
			glm::vec2 c = helpers ? util::circle(2.5f) : glm::circularRand(2.5f);
			glm::vec3 s = helpers ? util::sphere(0.5f) : glm::sphericalRand(0.5f);
			float f = helpers ? util::linear(-0.1f, 0.1f) : glm::linearRand(-0.1f, 0.1f);
			out.insert(out.end(), { v.x, v.y, v.z, w.x, w.y, c.x, c.y, s.x, s.y, s.z, f });
		}
		return out;
	};
	for (unsigned seed : { 1u, 7u, 4242u }) {
		std::vector<float> want = draws(seed, false);
		std::vector<float> got = draws(seed, true);
		ASSERT_EQ(got.size(), want.size());
		for (size_t i = 0; i < got.size(); i++)
			ASSERT_FLOAT_EQ(got[i], want[i]) << "seed " << seed << ", number " << i;
	}
	srand(1);
#else
	GTEST_SKIP() << "glm's order is only known for GCC on x86";
#endif
}

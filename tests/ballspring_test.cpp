// The spring balls: one-sided push, sphere spring, beat kicks, keys, sprites.
#include "../content/ballspring.cpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "gltest.h"

namespace {

// Every ball at rest on the sphere, spread so that none coincide.
void on_sphere()
{
	normalsize = 100.0f;
	for (int i = 0; i < ball_count; i++) {
		float a = i * 0.37f, b = i * 0.11f;
		part_data[i].pos = 100.0f * glm::vec3(cosf(a) * cosf(b), sinf(b), sinf(a) * cosf(b));
		part_data[i].vatt = part_data[i].vspr = glm::vec3(0.0f);
	}
}

// A white sprite of one alpha as gfx/dot.png in a fresh working directory.
void sprite_dir(uint8_t alpha)
{
	char dir[] = "/tmp/balls_XXXXXX";
	ASSERT_NE(mkdtemp(dir), nullptr);
	ASSERT_EQ(chdir(dir), 0);
	mkdir("gfx", 0755);
	std::vector<uint8_t> px(16 * 16 * 4, 255);
	for (size_t i = 3; i < px.size(); i += 4)
		px[i] = alpha;
	ASSERT_NE(stbi_write_png("gfx/dot.png", 16, 16, 4, px.data(), 16 * 4), 0);
}

}  // namespace

TEST(Balls, OnlyHigherBallsPushAndTheLastGetsNone)
{
	gravforce = 1.0f;
	on_sphere();
	std::vector<particle_s> before(part_data, part_data + ball_count);
	move_balls();
	EXPECT_NEAR(glm::distance(part_data[399].pos, before[399].pos), 0.0f, 1e-4f);
	EXPECT_EQ(part_data[399].vatt, glm::vec3(0.0f));
	glm::vec3 by399 = 0.2f * 0.0025f * (before[398].pos - before[399].pos) / 9.0f;
	EXPECT_NEAR(glm::distance(part_data[398].vatt, by399), 0.0f, 1e-6f);
	glm::vec3 all(0.0f);
	for (int j = 1; j < ball_count; j++)
		all += (before[0].pos - before[j].pos) / 9.0f;
	EXPECT_NEAR(glm::distance(part_data[0].vatt, 0.2f * 0.0025f * all), 0.0f, 1e-5f);
	EXPECT_EQ(vertex_data[7].y, part_data[7].pos.y);
}

TEST(Balls, WithoutPushTheySettleOnTheSphereAndTheCentreStaysFinite)
{
	gravforce = 0.0f;
	normalsize = 100.0f;
	seed();
	for (int f = 0; f < 3000; f++)
		move_balls();
	for (int i = 0; i < ball_count; i++)
		EXPECT_NEAR(glm::length(part_data[i].pos), 100.0f, 0.5f) << i;

	gravforce = 1.0f;
	on_sphere();
	part_data[399].pos = part_data[200].pos = glm::vec3(0.0f);
	for (int f = 0; f < 5; f++)
		move_balls();
	for (int i = 0; i < ball_count; i++)
		ASSERT_TRUE(std::isfinite(glm::length(part_data[i].pos))) << i;
}

TEST(Balls, OneKickPerNewWholeBeatHoweverManyPassed)
{
	on_sphere();
	lasttime = 0.0f;
	beatgrid = 0.7f;
	beat_kick();
	EXPECT_EQ(part_data[5].vspr, glm::vec3(0.0f));
	// beats 1 to 6 went by unseen: the same single kick as for one beat
	srand(99);
	std::vector<glm::vec3> one;
	for (int i = 0; i < ball_count; i++)
		one.push_back(0.1f * util::linear(glm::vec3(-1.0f), glm::vec3(1.0f)));
	srand(99);
	beatgrid = 6.25f;
	beat_kick();
	for (int i = 0; i < ball_count; i++)
		ASSERT_EQ(part_data[i].vspr, one[i]) << i;
	beatgrid = 6.9f;
	beat_kick();
	EXPECT_EQ(part_data[7].vspr, one[7]);
	beatgrid = 7.0f;
	beat_kick();
	EXPECT_NE(part_data[7].vspr, one[7]);
}

TEST(BallsGL, NearBallsBigAndBrightFaintSpritesCut)
{
	gltest_open();
	ASSERT_FALSE(HasFatalFailure());
	sprite_dir(255);
	effect.initgl();
	// at time 0 the view is unturned: half the balls near, half far
	glm::vec3 near_ball = glm::normalize(glm::vec3(0.3f, 0.0f, 1.0f)) * 100.0f;
	on_sphere();
	for (int i = 0; i < ball_count; i++)
		part_data[i].pos = i < 200 ? near_ball : -near_ball;
	timeval = 0.0f;
	beatgrid = lasttime = 0.5f;
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT);
	ballspring->run();
	std::vector<uint8_t> row = gltest_read(0, 240, 854, 1);
	int near_w = 0, far_w = 0, near_r = 0, far_r = 0;
	for (int x = 0; x < 854; x++) {
		int r = row[x * 4];
		if (r == 0)
			continue;
		EXPECT_EQ(row[x * 4 + 2], 51);  // blue fixed at 0.2
		(x > 427 ? near_w : far_w)++;
		int& top = x > 427 ? near_r : far_r;
		top = std::max(top, r);
	}
	EXPECT_NEAR(near_w, 48, 4);  // 50 zz², zz = 0.6 + 0.004 z
	EXPECT_NEAR(far_r, 50, 6);
	EXPECT_NEAR(near_r, 226, 6);
	EXPECT_GT(far_w, 0);
	EXPECT_LE(far_w, 4);

	sprite_dir(100);
	effect.initgl();
	glClear(GL_COLOR_BUFFER_BIT);
	ballspring->run();
	std::vector<uint8_t> px = gltest_read(0, 0, 854, 480);
	for (size_t i = 0; i < px.size(); i += 4)
		ASSERT_EQ(px[i], 0) << i / 4;
}

// The city: block numbering and splitting, frustum planes, box and
// distance culling, and the shading at zero draw distance.
#include <algorithm>
#include <gtest/gtest.h>

#include "../content/tunnel.cpp"
#include "gltest.h"
#include "test_phone_support.h"

namespace {

const glm::mat4 city_projection = perspective_deg(70.0f, demo_aspect, 1.0f, 30000.0f);

void frustum_of(const glm::mat4& view, plane_t* planes)
{
	glm::vec3 corners[8];
	calc_frustum(city_projection, glm::inverse(view), corners, planes);
}

TEST(CityCull, FrustumPlanesPointOut)
{
	const glm::mat4 views[] = {
		glm::translate(glm::mat4(1.0f), glm::vec3(0, -220, 0)),
		rotate_deg(rotate_deg(glm::translate(glm::mat4(1.0f), glm::vec3(30, -100, 200)), 40.0f, glm::vec3(0, 1, 0)), -25.0f, glm::vec3(1, 0, 0)),
	};
	for (const glm::mat4& view : views) {
		plane_t planes[4];
		frustum_of(view, planes);
		int checked = 0;
		for (int i = 0; i < 2000; i++) {
			glm::vec3 p = glm::linearRand(glm::vec3(-800.0f), glm::vec3(800.0f));
			glm::vec4 c = city_projection * view * glm::vec4(p, 1.0f);
			if (c.w < 1.0f)
				continue;
			// bottom, top, left, right, as the clip volume sees them
			const float margin[4] = {-c.w - c.y, c.y - c.w, -c.w - c.x, c.x - c.w};
			for (int k = 0; k < 4; k++) {
				if (fabsf(margin[k]) < 1.0f)
					continue;
				EXPECT_EQ(glm::dot(p, planes[k].n) - planes[k].d > 0.0f, margin[k] > 0.0f) << "plane " << k;
				checked++;
			}
		}
		EXPECT_GT(checked, 1000);
	}
}

TEST(CityCull, BoxesAgainstTheFrustum)
{
	plane_t planes[4];
	frustum_of(glm::mat4(1.0f), planes);  // at the origin, looking down -z
	EXPECT_TRUE(testBb(planes, glm::vec3(-10, -10, -110), glm::vec3(10, 10, -100)));
	EXPECT_TRUE(testBb(planes, glm::vec3(-300, -10, -110), glm::vec3(-100, 10, -100)));  // across the left side
	EXPECT_FALSE(testBb(planes, glm::vec3(1000, -10, -110), glm::vec3(1100, 10, -100)));
	EXPECT_FALSE(testBb(planes, glm::vec3(-10, -10, 100), glm::vec3(10, 10, 110)));  // behind
}

TEST(CityCull, MaskKeepsNearBlocksInView)
{
	plane_t all[4];
	for (plane_t& p : all)
		p = plane_t{glm::vec3(1, 0, 0), 1e9f};
	// distance alone: the base centre counts, the limit itself is kept
	EXPECT_EQ(constructCitymask(glm::vec3(-100, 0, -100), all, glm::vec3(0), 199.0f), 1 << 5);
	EXPECT_EQ(constructCitymask(glm::vec3(-100, 0, -100), all, glm::vec3(0), 200.0f),
		(1 << 5) | (1 << 1) | (1 << 4) | (1 << 6) | (1 << 9));
	EXPECT_EQ(constructCitymask(glm::vec3(700, 0, -100), all, glm::vec3(800, 0, 0), 199.0f), 1 << 5);
	EXPECT_EQ(constructCitymask(glm::vec3(0, 5000, 0), all, glm::vec3(0), 1000.0f), 0);

	// at a height of 220 looking down -z: the two rows behind are culled,
	// and the limit of 400 drops the far corners of the rows in front
	plane_t planes[4];
	glm::mat4 view = glm::translate(glm::mat4(1.0f), glm::vec3(0, -220, 0));
	frustum_of(view, planes);
	EXPECT_EQ(constructCitymask(glm::vec3(0, 220, 0), planes, glm::vec3(0), 10000.0f), 0x00ff);
	EXPECT_EQ(constructCitymask(glm::vec3(0, 220, 0), planes, glm::vec3(0), 400.0f), 0x00f6);
}

TEST(CitySplit, StraddlingFacesAreListedInEachBlock)
{
	scene_dir("citysplit");
	scene_text("city08.obj",
		"vt 0 0\nvn 0 1 0\n"
		"v -310 0 -300\nv -290 0 -300\nv -300 0 -290\n"  // face 0: block 0
		"v -10 0 50\nv 10 0 50\nv 10 0 60\n"            // face 1: blocks 9, 10
		"v -210 0 -300\nv -190 0 -300\nv -190 0 -190\n" // face 2: blocks 0, 1, 5
		"v 350 0 350\nv 360 0 350\nv 360 0 360\n"        // face 3: block 15
		"f 1/1/1 2/1/1 3/1/1\nf 4/1/1 5/1/1 6/1/1\nf 7/1/1 8/1/1 9/1/1\nf 10/1/1 11/1/1 12/1/1\n");
	city = new model_c("city08.obj");
	split();

	const int faces_in[16] = {2, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1};
	int total = 0;
	for (int j = 0; j < 16; j++) {
		EXPECT_EQ(blockElementsCount[j], 3 * faces_in[j]) << "block " << j;
		EXPECT_EQ(blockElements[j], elements + total) << "block " << j;
		total += blockElementsCount[j];
	}
	const GLushort block0[] = {0, 1, 2, 6, 7, 8};
	EXPECT_TRUE(std::equal(block0, block0 + 6, blockElements[0]));
	EXPECT_EQ(blockElements[9][0], 3);
	EXPECT_EQ(blockElements[10][0], 3);
	EXPECT_EQ(blockElements[15][2], 11);
	// borders belong to the block on their positive side
	EXPECT_EQ(block_of(glm::vec3(-200, 0, 0)), 1 + 4 * 2);
	EXPECT_EQ(block_of(glm::vec3(200, 0, -200.01f)), 3 + 4 * 0);
}

// Light of a small white quad drawn 1.5 and 20 units in front of the eye.
void quad_light(float maxdist, GLubyte* near_rgba, GLubyte* far_rgba)
{
	CityMaxDistance = maxdist;
	citybomb = 0.0f;
	phone_projection = city_projection;
	glm::mat4 mv(1.0f);
	glClear(GL_COLOR_BUFFER_BIT);
	shader.use();
	set_uniforms(mv);
	shader.array("pos", 3, GL_FLOAT, 32, &city->data[0].pos);
	shader.array("uv", 2, GL_FLOAT, 32, &city->data[0].tc);
	shader.array("nor", 3, GL_FLOAT, 32, &city->data[0].nor);
	drawInstance(mv, glm::vec3(0, -100, -20), 0xffff);
	drawInstance(mv, glm::vec3(-2, -100, -1.5f), 0xffff);
	shader.array("pos", 0, 0, 0, 0);
	shader.array("uv", 0, 0, 0, 0);
	shader.array("nor", 0, 0, 0, 0);
	glReadPixels(50, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, near_rgba);
	glReadPixels(427, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, far_rgba);
}

TEST(CityGL, NoLightAtZeroDrawDistance)
{
	gltest_open();
	scene_dir("citylight");
	scene_text("city08.obj",
		"v -1 99 0\nv 1 99 0\nv 1 101 0\nv -1 101 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
		"f 1/1/1 2/1/1 3/2/1\nf 1/1/1 3/2/1 4/2/1\n");
	scene_png("gfx/city08_diffuse.png", 4, 4, 0xffffffff);
	effect.initgl();
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);

	// only the constant glow of the window alpha is left, near and far
	GLubyte near_px[4], far_px[4];
	quad_light(150.0f, near_px, far_px);
	// (the test window has no alpha channel to check)
	const GLubyte glow[3] = {51, 51, 41};
	for (int c = 0; c < 3; c++) {
		EXPECT_NEAR(near_px[c], glow[c], 1) << c;
		EXPECT_NEAR(far_px[c], glow[c], 1) << c;
	}

	// with draw distance the head-on light (1/3) comes on top
	quad_light(1200.0f, near_px, far_px);
	EXPECT_NEAR(near_px[0], 51 + 85, 2);
	EXPECT_NEAR(far_px[0], 51 + 85, 2);
	EXPECT_NEAR(far_px[2], 41 + 85, 2);
}

// Through draw(), with the stage-6 camera: two small marks in the city
// land where the script's and the city's matrices put them.
TEST(CityGL, CameraPutsKnownPointsWhereTheMatricesDo)
{
	gltest_open();
	scene_dir("citycamera");
	// Marks 2 units across at world (50, 320, 113.4) and (75.98, 340, 128.4):
	// 100 ahead of the camera, the second also 30 right and 20 up.
	scene_text("city08.obj",
		"v 49 319 113.4\nv 51 319 113.4\nv 50 321 113.4\n"
		"v 74.98 339 128.4\nv 76.98 339 128.4\nv 75.98 341 128.4\n"
		"vt 0 0\nvn 0 1 0\nf 1/1/1 2/1/1 3/1/1\nf 4/1/1 5/1/1 6/1/1\n");
	scene_png("gfx/city08_diffuse.png", 4, 4, 0xffffffff);
	effect.initgl();
	beatgrid = 0.0f;  // before the camera's own turns
	frameskip = 1;
	CityMaxDistance = 1000.0f;
	citybomb = 0.0f;
	phone_projection = city_projection;
	phone_rotation_mv = rotate_deg(rotate_deg(glm::mat4(1.0f), 30.0f, glm::vec3(0, 1, 0)), 90.0f, glm::vec3(0, 0, 1));
	tunnelflyer.pos = glm::vec3(0, -100, -200);
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT);
	effect.draw();
	scene_save("city_camera.png", 854, 480);
	// Eye (0, 0, -100) is the centre; (30, 20, -100) lands at
	// 427 + 427 * 0.80271 * 0.3, 240 + 240 * 1.42815 * 0.2.
	const int lit[][2] = { { 427, 240 }, { 530, 308 } };
	const int dark[][2] = { { 324, 240 }, { 427, 308 }, { 530, 171 }, { 324, 171 }, { 530, 240 } };
	for (const auto& p : lit)
		EXPECT_GT(gltest_pixel(p[0], p[1]) & 0xff, 100u) << p[0] << ", " << p[1];
	for (const auto& p : dark)
		EXPECT_EQ(gltest_pixel(p[0], p[1]) & 0xffffff, 0u) << p[0] << ", " << p[1];

	// "tunnel_camdown1" (beat 137) turns the camera's springs towards -20
	// and 30 degrees: after 50 steps they stand at -1.5815 and 2.3723
	// (worked out by hand).
	beatgrid = 138.0f;
	frameskip = 50;
	effect.draw();
	EXPECT_NEAR(camPitch, -1.5815f, 1e-3f);
	EXPECT_NEAR(camYaw, 2.3723f, 1e-3f);
}

}  // namespace

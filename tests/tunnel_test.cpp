// The city: block numbering and splitting, frustum planes, box, distance
// and occlusion culling, and the shading at zero draw distance.
#include <algorithm>
#include <glm/gtc/random.hpp>
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

// Seen from the origin down -z: a box hides only behind faces drawn nearer
// over all of its reach, and only behind faces that are drawn.
TEST(CityCull, OcclusionHidesOnlyWhatNearerFacesCover)
{
	// a wall 100 across at 100, and one slanting from 100 (left) to 300 away
	const glm::vec3 wall[4] = {{-50, -50, -100}, {50, -50, -100}, {50, 50, -100}, {-50, 50, -100}};
	const glm::vec3 slant[4] = {{-50, -50, -100}, {150, -150, -300}, {150, 150, -300}, {-50, 50, -100}};
	const glm::vec3 behind[2] = {{-20, -20, -200}, {20, 20, -150}};
	const glm::vec3 before[2] = {{-20, -20, -95}, {20, 20, -90}};
	const glm::vec3 aside[2] = {{60, -20, -200}, {120, 20, -150}};
	const glm::vec3 deep[2] = {{-20, -20, -250}, {20, 20, -200}};
	const glm::vec3 right_mid[2] = {{60, -5, -210}, {70, 5, -200}};  // nearer than the slant there
	struct case_s {
		const glm::vec3* face;
		int facing;
		const glm::vec3* box;
		bool hidden;
	};
	const case_s cases[] = {
		{wall, 1, behind, true}, {wall, 1, before, false}, {wall, 1, aside, false},
		{wall, -1, behind, false}, {slant, 1, deep, true}, {slant, 1, right_mid, false},
	};
	float near_w, far_w;
	ASSERT_TRUE(occlusion_range(city_projection, &near_w, &far_w));
	EXPECT_NEAR(near_w, 1.0f, 1e-3f);
	for (const case_s& c : cases) {
		occlusion_begin(near_w, far_w);
		occlusion_add(city_projection, c.face, 4, c.facing);
		EXPECT_EQ(occlusion_hidden(city_projection, c.box[0], c.box[1]), c.hidden) << &c - cases;
	}
	// a face by its own outline and its nearest corner: a sliver along an
	// edge of a diamond is hidden where its box is not; pulled in front of
	// the diamond at one corner, it shows
	const glm::vec3 diamond[4] = {{0, -60, -100}, {60, 0, -100}, {0, 60, -100}, {-60, 0, -100}};
	glm::vec3 sliver[3] = {{7.5f, 60, -150}, {60, 7.5f, -150}, {30, 30, -150}};
	occlusion_begin(near_w, far_w);
	occlusion_add(city_projection, diamond, 4, 0);
	EXPECT_TRUE(occlusion_face_hidden(city_projection, sliver, 3));
	EXPECT_FALSE(occlusion_hidden(city_projection, glm::min(sliver[0], sliver[1]), glm::max(sliver[0], sliver[1])));
	sliver[2] = glm::vec3(19, 19, -95);
	EXPECT_FALSE(occlusion_face_hidden(city_projection, sliver, 3));

	// a face that the near plane cuts counts for its part beyond it: a wall
	// leaning over the eye hides what lies behind it, not what lies between
	const glm::vec3 leaning[4] = {{-50, -50, -100}, {50, -50, -100}, {50, 50, 5}, {-50, 50, 5}};
	const glm::vec3 between[2] = {{-2, -2, -44}, {2, 2, -40}};
	occlusion_begin(near_w, far_w);
	occlusion_add(city_projection, leaning, 4, 0);
	EXPECT_TRUE(occlusion_hidden(city_projection, behind[0], behind[1]));
	EXPECT_FALSE(occlusion_hidden(city_projection, between[0], between[1]));

	// a street receding to the horizon shows through a gap between two
	// walls that only its long edges cross; overlapping, the walls hide it
	const glm::vec3 street[2] = {{-5, -40, -1000}, {5, -30, -100}};
	const glm::vec3 below[4] = {{-50, -35, -50}, {50, -35, -50}, {50, -10.5f, -50}, {-50, -10.5f, -50}};
	glm::vec3 above[4] = {{-50, -14, -50}, {50, -14, -50}, {50, 35, -50}, {-50, 35, -50}};
	for (float gap : {-3.0f, 2.0f}) {
		above[0].y = above[1].y = -10.5f + gap;
		occlusion_begin(near_w, far_w);
		occlusion_add(city_projection, below, 4, 1);
		occlusion_add(city_projection, above, 4, 1);
		EXPECT_EQ(occlusion_hidden(city_projection, street[0], street[1]), gap < 0.0f) << gap;
	}

	// the screen the wall leaves open: below, beside and above it
	occlusion_begin(near_w, far_w);
	occlusion_rect_s open[4];
	occlusion_add(city_projection, wall, 4, 1);
	ASSERT_EQ(occlusion_open(open, 4), 4);
	EXPECT_EQ(occlusion_open(open, 3), -1);
	auto is_open = [&](float x, float y) {
		for (const occlusion_rect_s& r : open)
			if (x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1)
				return true;
		return false;
	};
	EXPECT_FALSE(is_open(0.0f, 0.0f));
	EXPECT_FALSE(is_open(0.38f, 0.69f));
	for (glm::vec2 p : {glm::vec2(-1, -1), glm::vec2(0.99f, 0), glm::vec2(-0.42f, 0.5f), glm::vec2(0, 0.99f)})
		EXPECT_TRUE(is_open(p.x, p.y)) << p.x << ", " << p.y;
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

// Draws the first n groups of the queue, every face, in queue order.
void draw_every_face(int n)
{
	frame_element_count = 0;
	for (int i = 0; i < n; i++) {
		queue[i].first = frame_element_count;
		queue[i].count = keep_faces(groups[queue[i].group], tile_mvp[queue[i].tile], false, 0.0f, 0);
	}
	draw_queue(n);
}

// Every block of one tile, in block order, without culling.
void draw_tile(const glm::mat4& mv, glm::vec3 offset)
{
	tile_mvp[0] = phone_projection * glm::translate(mv, offset);
	draw_every_face(queue_tile(0, glm::vec3(0), offset, 0xffff, 0));
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
	set_arrays(true);
	draw_tile(mv, glm::vec3(0, -100, -20));
	draw_tile(mv, glm::vec3(-2, -100, -1.5f));
	set_arrays(false);
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

// The buffers hold position, texture place and normal side by side: a quad
// facing the eye shows the picture's marked quarter in one corner only.
TEST(CityGL, BuffersCarryTheTexturePlaces)
{
	gltest_open();
	scene_dir("cityuv");
	// The second face repeats the texture one over in u: the same picture,
	// but its corners differ from the first face's where they share places.
	scene_text("city08.obj",
		"v -1 99 0\nv 1 99 0\nv 1 101 0\nv -1 101 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
		"vt 1 0\nvt 2 1\nvt 1 1\nf 1/1/1 2/2/1 3/3/1\nf 1/5/1 3/6/1 4/7/1\n");
	scene_marked_png("gfx/city08_diffuse.png", 8, 8, 0xff0000ff, 0xffff0000);  // red quarter on blue
	effect.initgl();
	glDisable(GL_DEPTH_TEST);
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT);
	CityMaxDistance = 1200.0f;
	citybomb = 0.0f;
	phone_projection = city_projection;
	glm::mat4 mv(1.0f);
	shader.use();
	set_uniforms(mv);
	set_arrays(true);
	draw_tile(mv, glm::vec3(0, -100, -5));
	set_arrays(false);
	scene_save("city_uv.png", 854, 480);
	// quarter centres, 34 pixels from the middle: left/right, bottom/top
	const int at[4][2] = { { 393, 206 }, { 461, 206 }, { 393, 274 }, { 461, 274 } };
	int red = -1, reds = 0;
	for (int i = 0; i < 4; i++) {
		uint32_t p = gltest_pixel(at[i][0], at[i][1]);
		int r = p & 0xff, b = (p >> 16) & 0xff;
		ASSERT_GT(r + b, 100) << "nothing drawn at quarter " << i;
		if (r > b) {
			red = i;
			reds++;
		}
	}
	EXPECT_EQ(reds, 1);
	// the picture's first rows are the top of the texture, where v is 1
	EXPECT_EQ(red, 2) << "the marked quarter is at the top left";
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
	effect.run();
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
	effect.run();
	EXPECT_NEAR(camPitch, -1.5815f, 1e-3f);
	EXPECT_NEAR(camYaw, 2.3723f, 1e-3f);
}

// A city of closed boxes, faces outward and counter-clockwise, standing
// on one ground quad per block, two boxes per block clear of the borders;
// or with one more box across a border, or one wall wound inward.
std::string box_city(bool straddling = false, bool inward = false)
{
	std::string v, f;
	int nv = 0;
	auto quad = [&](glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d, int n) {
		for (const glm::vec3& p : {a, b, c, d}) {
			char line[96];
			snprintf(line, sizeof line, "v %g %g %g\n", p.x, p.y, p.z);
			v += line;
		}
		char line[160];
		snprintf(line, sizeof line, "f %i/1/%i %i/2/%i %i/2/%i\nf %i/1/%i %i/2/%i %i/1/%i\n", nv + 1, n, nv + 2, n,
			nv + 3, n, nv + 1, n, nv + 3, n, nv + 4, n);
		f += line;
		nv += 4;
	};
	auto box = [&](glm::vec3 lo, glm::vec3 hi) {
		// walls from corner p to corner q, seen from outside
		const glm::vec2 c[5] = {{lo.x, hi.z}, {hi.x, hi.z}, {hi.x, lo.z}, {lo.x, lo.z}, {lo.x, hi.z}};
		const int normal[4] = {2, 3, 4, 5};
		for (int k = 0; k < 4; k++) {
			glm::vec2 p = c[k], q = c[k + 1];
			quad(glm::vec3(p.x, lo.y, p.y), glm::vec3(q.x, lo.y, q.y), glm::vec3(q.x, hi.y, q.y),
				glm::vec3(p.x, hi.y, p.y), normal[k]);
		}
		quad(glm::vec3(lo.x, hi.y, hi.z), glm::vec3(hi.x, hi.y, hi.z), glm::vec3(hi.x, hi.y, lo.z),
			glm::vec3(lo.x, hi.y, lo.z), 1);
	};
	for (int cz = 0; cz < 4; cz++) {
		for (int cx = 0; cx < 4; cx++) {
			float x0 = cx * 200.0f - 400.0f, z0 = cz * 200.0f - 400.0f;
			quad(glm::vec3(x0, 0, z0 + 200), glm::vec3(x0 + 200, 0, z0 + 200), glm::vec3(x0 + 200, 0, z0),
				glm::vec3(x0, 0, z0), 1);
			float h = 80.0f + 45.0f * ((cx * 3 + cz * 5) % 10);
			box(glm::vec3(x0 + 30, 0, z0 + 30), glm::vec3(x0 + 95 + 5 * cx, h, z0 + 170));
			box(glm::vec3(x0 + 115, 0, z0 + 40 + 10 * cz), glm::vec3(x0 + 170, h * 0.6f, z0 + 160));
		}
	}
	if (straddling)
		box(glm::vec3(-10, 0, 180), glm::vec3(10, 50, 190));
	if (inward)
		quad(glm::vec3(-150, 0, 0), glm::vec3(-150, 10, 0), glm::vec3(-140, 10, 0), glm::vec3(-140, 0, 0), 2);
	return v + "vt 0 0\nvt 1 1\nvn 0 1 0\nvn 0 0 1\nvn 1 0 0\nvn 0 0 -1\nvn -1 0 0\n" + f;
}

int blocks_drawn = 0;

// The city and its backdrop, the backdrop over the open screen only
// unless plain.
std::vector<uint8_t> city_frame(const glm::mat4& mv, bool plain, bool cull_all = false)
{
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	if (!plain) {
		blocks_drawn = draw_city(mv);
		zreset_backdrop(0.3f, true);
		return gltest_read(0, 0, 854, 480);
	}
	// the blocks tile by tile, in block order, every face
	glm::mat4 mv_inv = glm::inverse(mv);
	glm::vec3 cam(mv_inv[3]);
	glm::vec3 corners[8];
	plane_t planes[4];
	calc_frustum(phone_projection, mv_inv, corners, planes);
	shader.use();
	set_uniforms(mv);
	set_arrays(true);
	if (cull_all)
		glEnable(GL_CULL_FACE);
	draw_every_face(queue_city(mv, cam, 800.0f * glm::floor((cam + glm::vec3(400, 0, 400)) / 800.0f), planes));
	glDisable(GL_CULL_FACE);
	set_arrays(false);
	zreset_backdrop(0.3f, false);
	return gltest_read(0, 0, 854, 480);
}

int differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
	int n = 0;
	for (size_t i = 0; i + 3 < a.size(); i += 4)
		n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
	return n;
}

TEST(CityCull, BackFacesStayWhereBuildingsAreCutOrInsideOut)
{
	scene_dir("cityclosed");
	const bool faults[3][2] = {{false, false}, {true, false}, {false, true}};
	static model_c* loaded[3];  // models are never freed; kept in reach
	for (int i = 0; i < 3; i++) {
		const bool* f = faults[i];
		scene_text("city08.obj", box_city(f[0], f[1]));
		city = loaded[i] = new model_c("city08.obj");
		build_clearance();
		EXPECT_EQ(closed_blocks, !f[0] && !f[1]) << f[0] << f[1];
		citybomb = 0.0f;
		EXPECT_EQ(backfaces_hidden(glm::vec3(-200, 150, 330), 1.74f), closed_blocks);
	}
}

// Drawn nearest block first and without back faces where they cannot show,
// and without the buildings nearer ones hide, the city must look as drawn
// plainly: from the street, over the roofs, in the next tile, through a
// mirror, flashing, and, with back faces kept, from inside a building,
// grazing a wall and blown apart.
TEST(CityGL, CullingAndOrderKeepThePicture)
{
	gltest_open();
	scene_dir("cityboxes");
	scene_text("city08.obj", box_city());
	scene_png("gfx/city08_diffuse.png", 4, 4, 0xffc0e0ff);
	scene_marked_png("gfx/darkmetal.jpg", 8, 8, 0xff00ff00, 0xff604020);
	effect.initgl();
	zreset->initgl();
	ASSERT_TRUE(closed_blocks);
	EXPECT_EQ(blockGroups[block_count], 48) << "each block: its ground and two buildings";
	// blown apart, every corner stays within its group's flown bounds
	for (int g = 0; g < blockGroups[block_count]; g++) {
		glm::vec3 lo, hi;
		flown_bounds(groups[g], 540.0f, &lo, &hi);
		for (int k = groups[g].first; k < groups[g].first + groups[g].count; k++) {
			const realvert_s& c = city->data[elements[k]];
			glm::vec3 p = c.pos + flight(c) * 540.0f;
			EXPECT_TRUE(glm::all(glm::lessThanEqual(lo, p)) && glm::all(glm::lessThanEqual(p, hi))) << g;
		}
	}
	phone_projection = city_projection;
	CityMaxDistance = 1000.0f;
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
	glClearColor(0, 0, 0.3f, 0);

	struct view_s {
		const char* name;
		glm::vec3 eye, at;
		float bomb;
		bool mirror;
		bool culled;
	};
	const view_s views[] = {
		{"street", glm::vec3(-200, 150, 330), glm::vec3(-120, 60, -300), 0.0f, false, true},
		{"roofs", glm::vec3(60, 700, 90), glm::vec3(-100, 0, -300), 0.0f, false, true},
		{"next tile", glm::vec3(600, 120, -1000), glm::vec3(700, 40, -400), 0.0f, false, true},
		{"mirror", glm::vec3(-200, 150, 330), glm::vec3(-120, 60, -300), 0.0f, true, true},
		{"inside", glm::vec3(-150, 40, -150), glm::vec3(-100, 60, -100), 0.0f, false, false},
		{"grazing", glm::vec3(-171, 40, -300), glm::vec3(-171, 40, 300), 0.0f, false, false},
		{"flashing", glm::vec3(-200, 150, 330), glm::vec3(-120, 60, -300), 1.0f, false, true},
		{"blown apart", glm::vec3(-200, 150, 330), glm::vec3(-120, 60, -300), 2.0f, false, false},
	};
	for (const view_s& v : views) {
		citybomb = v.bomb;
		glm::mat4 mv = glm::lookAt(v.eye, v.at, glm::vec3(0, 1, 0));
		if (v.mirror)
			mv = glm::scale(mv, glm::vec3(-1, 1, 1));
		glm::vec3 cam(glm::inverse(mv)[3]);
		glm::vec3 origin = 800.0f * glm::floor((cam + glm::vec3(400, 0, 400)) / 800.0f);
		EXPECT_EQ(backfaces_hidden(cam - origin, 1.74f), v.culled) << v.name;

		glClear(GL_COLOR_BUFFER_BIT);
		std::vector<uint8_t> empty = gltest_read(0, 0, 854, 480);
		std::vector<uint8_t> plain = city_frame(mv, true);
		std::vector<uint8_t> fast = city_frame(mv, false);
		scene_save((std::string("city_") + v.name + ".png").c_str(), 854, 480);
		EXPECT_LE(differing(plain, fast), 20) << v.name;
		EXPECT_GT(differing(plain, empty), 854 * 480 / 4) << v.name;
		EXPECT_GT(blocks_drawn, 3) << v.name;
		for (int i = 1; i < blocks_drawn; i++) {
			if (queue[i].dist < queue[i - 1].dist)
				ADD_FAILURE() << v.name << ": block " << i << " drawn after a farther one";
		}
		// the views that keep back faces show them: skipping them would show
		if (!v.culled) {
			EXPECT_GT(differing(plain, city_frame(mv, true, true)), 500) << v.name;
		}
	}
	citybomb = 0.0f;
	glDisable(GL_DEPTH_TEST);
}

}  // namespace

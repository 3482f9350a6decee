// The flying phone: its scripted flight, the step key, the hand-over to
// the city camera and the stencil mark of its screen.
#include <gtest/gtest.h>
#include <vector>

#include "../content/3dphone.cpp"
#include "gltest.h"
#include "test_phone_support.h"

namespace {

struct flight_t {
	int state = 0;
	spring_c<float> zfix{0.0f, 0.0015f, 0.974f};
	spring_c<float> angfix{0.0f, 0.0013f, 0.954532f};
	void frame(float beat)
	{
		beatgrid = beat;
		flight_events(state, zfix, angfix);
		sync_ack();
	}
};

void fresh_run()
{
	scene_rearm();
	show_whiteback = false;
	flyphone_tunnelready = false;
	tunnelflyer = spring_c<glm::vec3>();
}

TEST(PhoneFlight, ScriptedStatesSpinsAndHandOver)
{
	fresh_run();
	flight_t f;
	std::vector<int> states;
	std::vector<float> spins;
	for (int i = 0; i <= 1300; i++) {
		int old = f.state;
		float ang = f.angfix.pos;
		f.frame(i * 0.1f);
		if (f.state != old)
			states.push_back(f.state);
		if (f.angfix.pos != ang)
			spins.push_back(beatgrid);
		if (i == 5) {
			EXPECT_FLOAT_EQ(f.zfix.acc, 0.0004f);
		}
	}
	EXPECT_EQ(states, (std::vector<int>{7, 6, 4, 2, 4, 1, 0, 5, 6, 0}));
	ASSERT_EQ(spins.size(), 2u);
	EXPECT_NEAR(spins[0], 4.5f, 0.11f);
	EXPECT_NEAR(spins[1], 114.0f, 0.11f);
	EXPECT_FLOAT_EQ(f.angfix.pos, -720.0f);
	EXPECT_FLOAT_EQ(f.angfix.damp, 0.93f);
	// still deep in the spin, and the offset never turned positive
	EXPECT_FALSE(show_whiteback);
	EXPECT_FALSE(flyphone_tunnelready);

	f.angfix.pos = -179.0f;
	f.zfix.pos = 2.0f;
	f.zfix.vel = 0.5f;
	f.frame(131.0f);
	EXPECT_TRUE(show_whiteback);
	EXPECT_TRUE(flyphone_tunnelready);
	EXPECT_EQ(tunnelflyer.pos, glm::vec3(0, 0, 2));
	EXPECT_EQ(tunnelflyer.vel, glm::vec3(0, 0, 0.5f));
	EXPECT_EQ(f.zfix.pos, 0.0f);
	EXPECT_EQ(f.zfix.vel, 0.0f);

	// the camera's motion is the timeline's from now on
	tunnelflyer.pos.z = 40.0f;
	f.frame(132.0f);
	EXPECT_EQ(tunnelflyer.pos.z, 40.0f);
	EXPECT_EQ(f.state, 0);
}

// 0.3 towards the viewer once in the first tenth of every beat, never in
// state 0.
TEST(PhoneFlight, BeatKickOncePerBeat)
{
	spring_c<float> z(0.0f, 0.0015f, 0.974f);
	bool clicker = false;
	const float beats[] = { 5.02f, 5.05f, 5.5f, 6.08f, 6.3f };
	const float want[] = { 0.3f, 0.3f, 0.3f, 0.6f, 0.6f };
	for (int i = 0; i < 5; i++) {
		beatgrid = beats[i];
		beat_kick(1, z, clicker);
		EXPECT_FLOAT_EQ(z.pos, want[i]) << beats[i];
	}
	beatgrid = 7.01f;
	beat_kick(0, z, clicker);
	EXPECT_FLOAT_EQ(z.pos, 0.6f);
}

TEST(PhoneFlight, LateStartFiresPassedEventsOnce)
{
	fresh_run();
	flight_t f;
	f.frame(10.0f);
	EXPECT_EQ(f.state, 4);
	EXPECT_FLOAT_EQ(f.angfix.pos, -360.0f);
	EXPECT_FLOAT_EQ(f.zfix.acc, 0.0015f);
	f.frame(10.1f);
	EXPECT_FLOAT_EQ(f.angfix.pos, -360.0f);
}

TEST(PhoneFlight, StepKeyCountsOncePerPress)
{
	// from 0 the presses wrap at 5; from a scripted 5 they count on
	const int starts[2] = {0, 5};
	const std::vector<int> expect[2] = {{1, 2, 3, 4, 0}, {6, 7, 8, 9, 10}};
	for (int k = 0; k < 2; k++) {
		std::vector<int> seen;
		int state = starts[k];
		for (int press = 0; press < 5; press++) {
			step_key(state, true);
			step_key(state, true);  // still held: no second step
			EXPECT_TRUE(state & 128);
			step_key(state, false);
			seen.push_back(state);
		}
		EXPECT_EQ(seen, expect[k]);
	}
}

// A phone model: body behind the screen, a bezel strip in front of its
// upper part.
void phone_scene()
{
	gltest_open();
	scene_dir("phone");
	scene_text("N9_low.obj",
		"v -30 0 5\nv 30 0 5\nv 30 130 5\nv -30 130 5\n"
		"v -30 95 6\nv 30 95 6\nv 30 130 6\nv -30 130 6\n"
		"vt 0 0\nvt 1 1\nvn 0 0 1\n"
		"f 1/1/1 2/1/1 3/2/1\nf 1/1/1 3/2/1 4/2/1\nf 5/1/1 6/1/1 7/2/1\nf 5/1/1 7/2/1 8/2/1\n");
	scene_png("gfx/harmattan-home.png", 4, 4, 0xffffffff);
	scene_png("gfx/N9_uv.png", 4, 4, 0xff00ff00);
	scene_png("gfx/red.png", 4, 4, 0xff0000ff);
	effect.initgl();
}

TEST(PhoneGL, ScreenIsMarkedInTheStencilWhereVisible)
{
	phone_scene();
	texture_c red = {};
	red.load("gfx/red.png", 0);
	phonescreentex = red.textureid;

	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
	glEnable(GL_STENCIL_TEST);
	phone_projection = perspective_deg(70.0f, demo_aspect, 1.0f, 3000.0f);
	phone_rotation_mv = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -150));
	draw_the_phone(true);
	scene_save("phone_stencil.png", 854, 480);

	struct probe_s { int x, y; uint32_t colour; GLubyte stencil; };
	const probe_s probes[] = {
		{427, 240, 0x0000ff, 1},  // screen
		{427, 330, 0x00ff00, 0},  // bezel over it
		{427, 126, 0x00ff00, 0},  // body below it
		{5, 5, 0, 0}};
	for (const probe_s& p : probes) {
		GLubyte s = 9;
		glReadPixels(p.x, p.y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &s);
		EXPECT_EQ(s, p.stencil) << p.x << "," << p.y;
		EXPECT_EQ(gltest_pixel(p.x, p.y) & 0xffffff, p.colour) << p.x << "," << p.y;
	}

	// the timeline's own placement draws but leaves the stencil alone
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
	glStencilFunc(GL_ALWAYS, 1, 1);
	glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
	phonedraw();
	GLubyte s = 9;
	glReadPixels(427, 240, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &s);
	EXPECT_EQ(s, 0);
	EXPECT_EQ(gltest_pixel(427, 240) & 0xffffff, 0x0000ffu);

	// a screen the script covers: its mark without its colour
	phone_screen_covered = true;
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
	draw_the_phone(true);
	phone_screen_covered = false;
	glReadPixels(427, 240, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &s);
	EXPECT_EQ(s, 1);
	EXPECT_EQ(gltest_pixel(427, 240) & 0xffffff, 0u);
}

// The body, when it lies behind the screen's plane, is hidden once the
// screen fills the view from in front: not with a bezel before the screen,
// from behind, from farther away or with the screen cut by the near plane.
TEST(PhoneGL, ScreenFillingTheViewHidesTheBodyBehindIt)
{
	phone_scene();  // its bezel stands in front of the screen
	phone_projection = perspective_deg(70.0f, demo_aspect, 1.0f, 3000.0f);
	auto hides = [](float dist, float turn) {
		glm::mat4 m = rotate_deg(glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -dist)), turn, glm::vec3(0, 1, 0));
		m = glm::translate(rotate_deg(m, 90.0f, glm::vec3(0, 0, 1)), -n9_s_center);
		return screen_hides_body(m, phone_projection * m);
	};
	EXPECT_FALSE(hides(20.0f, 0.0f));
	body_front = 5.0f;
	EXPECT_TRUE(hides(20.0f, 0.0f));
	EXPECT_FALSE(hides(20.0f, 180.0f));
	EXPECT_FALSE(hides(40.0f, 0.0f));
	EXPECT_FALSE(hides(0.5f, 0.0f));
}

// The picture's u axis runs down the screen and v across it: its top-left
// quarter shows in the screen's upper right.
TEST(PhoneGL, ScreenShowsThePictureAQuarterTurned)
{
	phone_scene();
	scene_marked_png("gfx/marked.png", 6, 6, 0xff0000ff, 0xffff0000);
	texture_c marked = {};
	marked.load("gfx/marked.png", 0);
	phonescreentex = marked.textureid;
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	glEnable(GL_DEPTH_TEST);
	phone_projection = perspective_deg(70.0f, demo_aspect, 1.0f, 3000.0f);
	phone_rotation_mv = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -150));
	draw_the_phone(false);
	glDisable(GL_DEPTH_TEST);
	// quarter centres (model x +-12.5, y 61.55 +- 22.24) seen from 150 away
	EXPECT_EQ(gltest_pixel(456, 291) & 0xffffff, 0x0000ffu);  // upper right
	EXPECT_EQ(gltest_pixel(398, 291) & 0xffffff, 0xff0000u);
	EXPECT_EQ(gltest_pixel(398, 189) & 0xffffff, 0xff0000u);
	EXPECT_EQ(gltest_pixel(456, 189) & 0xffffff, 0xff0000u);
}

TEST(PhoneGL, FlightHandsOverAfterTheSecondSpin)
{
	phone_scene();
	fresh_run();
	static Uint8 keys[512];
	keystate = keys;
	glViewport(0, 0, 64, 36);
	float white_at = -1.0f, ready_at = -1.0f, tilt = 0.0f;
	spring_c<glm::vec3> handed;
	beatgrid = 0.0f;
	for (int i = 0; beatgrid < 140.0f; i++) {
		frameskip = 1;
		timeval = 0.128f + i * 0.02f;
		beatgrid = i * 0.02f / 0.634875f;
		effect.run();
		sync_ack();
		// tilted about the camera's x axis, then turned about the tilted y:
		// the phone's long axis (model x after the quarter turn) never
		// leans sideways on screen
		ASSERT_NEAR(phone_rotation_mv[0][0], 0.0f, 1e-5f) << beatgrid;
		tilt = glm::max(tilt, fabsf(phone_rotation_mv[0][2]));
		if (show_whiteback && white_at < 0.0f)
			white_at = beatgrid;
		if (flyphone_tunnelready && ready_at < 0.0f) {
			ready_at = beatgrid;
			handed = tunnelflyer;
		}
	}
	glViewport(0, 0, 854, 480);
	EXPECT_GT(tilt, 0.1f);  // the flight tilts the phone by some tens of degrees
	EXPECT_GT(white_at, 114.0f);
	EXPECT_LT(white_at, 127.0f);
	EXPECT_GT(ready_at, 127.0f);
	EXPECT_GT(handed.pos.z, 0.0f);
	EXPECT_GT(handed.vel.z, 0.0f);
	EXPECT_EQ(glm::vec2(handed.pos), glm::vec2(0.0f));
	// the spring rests at 0: the phone is back at its base distance
	EXPECT_NEAR(phone_rotation_mv[3].z, -35.71f, 1e-3f);
}

}  // namespace

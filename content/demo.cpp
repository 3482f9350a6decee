// The demo's set-up hooks and its script: nine stages, each a frame loop
// that ends when its closing event fires (the last one never ends).
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "../src/glm_deg.h"
#include "../src/runtime/main.h"
#include "../src/sync.h"
#include "../src/util.h"
#include "effects.h"

fbo_c* orangetex_fbo = nullptr;
fbo_c* orange_fbo = nullptr;
fbo_c* scrollertex_fbo = nullptr;
texture_c screenshottex;
GLuint orangetex = 0;
float orbitradius = 70.0f;
spring_c<glm::vec3> tunnelflyer;

namespace {

// Pictures the script itself shows on the phone and behind it.
texture_c whiteback;
texture_c callscreentex;
texture_c woodstex;

bool shouldwescroll = false;
int do_orange = 0;  // 0 none, 1 logo, 2 mujuice, 3 orange

// The city reveal is a plain ramp on pos towards targetpos; the draw
// distance is a real spring.
spring_c<float> viewport(0.0f, 1.2083334f, 0.0001f, 0.98f);
spring_c<float> citydist(0.0f, 400.0f, 0.0002f, 0.98f);

// Finale springs, seeded from the last frame of the space flight.
spring_c<float> zepo_s;
spring_c<float> ang_s;

// Depth and stencil share one buffer. Cleared together, with every
// stencil bit writable, they are one plain fill; cleared apart, or under
// the phone's one-bit stencil mask, the GL must keep the other bits of each
// pixel, a read and a write per pixel or a drawn rectangle. Only bit 0 of
// the stencil is ever used, and only in the opening, which clears it too.
void clear_buffers(GLbitfield colour)
{
	glStencilMask(0xff);
	if (!seeking)
		glClear(colour | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void clear_frame()
{
	clear_buffers(GL_COLOR_BUFFER_BIT);
}

// Set at start-up: the viewport is the whole window, so what covers the
// view leaves nothing of the frame before.
bool view_is_window = false;

// Before a first picture that covers the whole view, opaque, at one depth
// (device z): a depth buffer cleared to that depth holds what the picture
// would write through the depth test, so it is drawn without the test
// (which the caller turns on again after it), and the colour needs no
// clear where the view is the window.
void clear_under_picture(float z)
{
	clear_depth_to(0.5f * z + 0.5f);
	clear_buffers(view_is_window ? 0 : GL_COLOR_BUFFER_BIT);
	clear_depth_to(1.0f);
	glDisable(GL_DEPTH_TEST);
}

void depth_less()
{
	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LESS);
}

// The city with the backdrop behind it. The backdrop lies at the far
// depth, behind every building, so drawing it last, where the depth test
// leaves it only the pixels no building covers, gives the same picture as
// drawing it first (zreset's own order) without shading the covered ones.
// glow is the backdrop's glow radius; keep_stencil keeps the mark of the
// phone's screen; revealing when a scissor box cuts the city.
void city_over_backdrop(float glow, bool keep_stencil, bool revealing)
{
	// zreset's depth reset
	if (keep_stencil && !seeking)
		glClear(GL_DEPTH_BUFFER_BIT);
	else if (!keep_stencil)
		clear_buffers(0);
	tunnel->run();
	if (!seeking)
		zreset_backdrop(glow, !revealing);
}

glm::mat4 city_projection()
{
	return perspective_deg(70.0f, demo_aspect, 1.0f, 30000.0f);
}

// Phone placement of the space flight and the finale.
glm::mat4 space_phone(float ang, float zepo)
{
	glm::mat4 m(1.0f);
	m = rotate_deg(m, ang, glm::vec3(0, 1, 0));
	m = glm::translate(m, glm::vec3(0, 0, -70));
	m = glm::translate(m, glm::vec3(0, -30, 0));
	m = rotate_deg(m, -110.0f, glm::vec3(0, 1, 0));
	m = glm::translate(m, glm::vec3(0, 0, zepo));
	m = rotate_deg(m, -90.0f, glm::vec3(1, 0, 0));
	return m;
}

void scroller_window()
{
	static sync_c start("startorbitscroller", 11, 0);
	static sync_c bum("stoporbitscroller-bum", 48, 0);
	static sync_c stop("stoporbitscroller", 53, 0);
	if (start.once())
		shouldwescroll = true;
	if (bum.past())
		orbitradius += frameskip * 0.3f;
	if (stop.once())
		shouldwescroll = false;
}

void draw_scroller_text()
{
	if (!shouldwescroll)
		return;
	scrollertex_fbo->bind();
	scrollertexgen->run();
	velmor->run();
	scrollertex_fbo->unbind();
}

void choose_screen()
{
	static sync_c shot("phonetex_shot", 0, 0);
	static sync_c logo("phonetex_qvdlogo", 8, 0);
	static sync_c mu("phonetex_mu", 32, 0);
	static sync_c orangepic("phonetex_orange", 52, 0);
	static sync_c call("phonetex_callscreen", 104, 0);
	if (shot.once())
		phonescreentex = screenshottex.textureid;
	if (logo.once()) {
		phonescreentex = orange_fbo->colortex;
		do_orange = 1;
	}
	if (mu.once()) {
		phonescreentex = orange_fbo->colortex;
		do_orange = 2;
	}
	if (orangepic.once()) {
		phonescreentex = orange_fbo->colortex;
		do_orange = 3;
	}
	if (call.once()) {
		do_orange = 0;
		phonescreentex = callscreentex.textureid;
	}
}

void render_screen()
{
	switch (do_orange) {
	case 1:
		orange_fbo->bind();
		qvdlogo->run();
		orange_fbo->unbind();
		break;
	case 2:
		orange_fbo->bind();
		mujuice->run();
		orange_fbo->unbind();
		break;
	case 3:
		orangetex_fbo->bind();
		orangetexgen->run();
		orangetex_fbo->unbind();
		orange_fbo->bind();
		orangetex = orangetex_fbo->colortex;
		orange->run();
		heart->run();
		lace->run();
		orange_fbo->unbind();
		break;
	default:
		break;
	}
}

// The reveal's height after this frame's steps.
float reveal_height()
{
	return glm::min(viewport.pos + frameskip / 480.0f, viewport.targetpos);
}

// Background, phone and orbit scroller while the phone still flies.
// Returns whether the city follows, masked to the phone's screen.
bool draw_phone_scene()
{
	glClearColor(0, 0, 0, 0);
	clear_buffers(GL_COLOR_BUFFER_BIT);
	bool white = show_whiteback;  // as the frame began: the phone's step may raise it
	if (white) {
		phonescreentex = woodstex.textureid;
		texturetesttex = whiteback.textureid;
	} else {
		starfield->run();
	}
	depth_less();
	glEnable(GL_STENCIL_TEST);
	flyphone->step();
	// Once revealed, the city and its backdrop cover all of the screen's mark.
	phone_screen_covered = show_whiteback && reveal_height() >= 0.8f;
	if (!seeking)
		flyphone->draw();  // marks its visible screen with stencil 1
	if (white) {
		// The white background lies at the far plane, drawn after the
		// phone: only the pixels the phone leaves pass the depth test.
		glDisable(GL_STENCIL_TEST);
		glDepthFunc(GL_LEQUAL);
		texturetest->run();
		glDepthFunc(GL_LESS);
		glEnable(GL_STENCIL_TEST);
	}
	if (screenshot_surface && keystate[SDLK_s])
		screenshot->run();
	scrollertex = scrollertex_fbo->colortex;
	if (shouldwescroll)
		orbitscroller->run();
	if (!show_whiteback)
		return false;
	glEnable(GL_STENCIL_TEST);
	glStencilFunc(GL_EQUAL, 1, 1);
	glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
	glStencilMask(1);
	return true;
}

// The city, revealed from the bottom edge upwards; in_screen when it is
// masked to the phone's screen. Returns true when the opening is over.
bool draw_city(bool in_screen)
{
	static sync_c upmove("tunnelupmove", 156, 0);
	static sync_c stop("stoptunnel", 160, 0);

	viewport.pos = reveal_height();
	bool revealing = viewport.pos < 0.8f;
	if (revealing) {
		// The wobble dips below zero at first; GL refuses a negative box.
		float wobble = 0.04166f * sinf(3.0f * timeval);
		int h = (int)(video_h * (viewport.pos + wobble));
		glScissor(0, 0, video_w, h > 0 ? h : 0);
		glEnable(GL_SCISSOR_TEST);
	}
	glEnable(GL_DEPTH_TEST);

	tunnelflyer.pos += tunnelflyer.vel * (float)frameskip;
	if (upmove.once())
		tunnelflyer.vel.y -= 1.0f;

	if (flyphone_tunnelready) {
		citydist.targetpos = 1000.0f;
		citydist.acc = 0.0004f;
		citydist.damp = 0.94f;
	}
	citydist.iterate(frameskip);
	CityMaxDistance = citydist.pos;
	if (!seeking)
		fprintf(stderr, "CityMaxDistance: %.2f\n", CityMaxDistance);

	city_over_backdrop(horizonbomb, in_screen, revealing);
	glDisable(GL_SCISSOR_TEST);
	return stop.once();
}

void run_opening()
{
	for (;;) {
		glDisable(GL_DEPTH_TEST);
		glDisable(GL_STENCIL_TEST);
		scroller_window();
		draw_scroller_text();
		choose_screen();
		render_screen();
		// the phone hands over to the city in its own draw: in that frame
		// the city is still masked to its screen
		bool drawtunnel = true;
		bool in_screen = false;
		if (!flyphone_tunnelready)
			drawtunnel = in_screen = draw_phone_scene();
		// The last frame is never shown: the credits clear it.
		if (drawtunnel && draw_city(in_screen))
			return;
		system_crap();
	}
}

void run_credits()
{
	depth_less();
	glDisable(GL_STENCIL_TEST);
	for (;;) {
		clear_under_picture(bump_depth);
		bump->run();
		system_crap();
		static sync_c bump1("bump1", 165, 0);
		static sync_c bump2("bump2", 170, 0);
		static sync_c bump3("bump3", 173, 0);
		static sync_c bump4("bump4", 178, 0);
		static sync_c stop("stopgear", 180, 0);
		if (bump1.once())
			bumptgt = 10;
		if (bump2.once())
			bumptgt = 20;
		if (bump3.once())
			bumptgt = 30;
		if (bump4.once())
			bumptgt = 40;
		if (stop.once())
			return;
	}
}

void run_second_flight()
{
	CityMaxDistance = 1000.0f;
	tunnelflyer.pos = glm::vec3(370, -100, -200);
	tunnelflyer.vel = glm::vec3(0);
	phone_projection = city_projection();
	glm::mat4 m(1.0f);
	m = rotate_deg(m, -190.0f, glm::vec3(0, 1, 0));
	m = rotate_deg(m, -20.0f, glm::vec3(1, 0, 0));
	m = rotate_deg(m, 90.0f, glm::vec3(0, 0, 1));
	phone_rotation_mv = m;
	depth_less();
	gearAppear = 0;

	for (;;) {
		// the city and its backdrop cover the view; they clear depth themselves
		if (!view_is_window && !seeking)
			glClear(GL_COLOR_BUFFER_BIT);
		tunnelflyer.pos.z += frameskip;
		city_over_backdrop(horizonbomb, false, false);
		gearAppear = 1;
		gear->run();
		system_crap();
		static sync_c stop("stopfly2", 208, 0);
		if (stop.once())
			return;
	}
}

void run_ripsilu()
{
	for (;;) {
		clear_under_picture(ripsilu_depth);
		ripsilu->run();
		glEnable(GL_DEPTH_TEST);
		gearAppear = 1;
		gear->run();
		ripsilu_mm = glm::clamp(beatgrid - 211.0f, 0.0f, 1.0f);
		system_crap();
		static sync_c stop("stopbump", 212, 0);
		if (stop.once())
			return;
	}
}

void run_polyhedron()
{
	depth_less();
	for (;;) {
		clear_under_picture(pbtausta_depth);
		pbtausta->run();
		glEnable(GL_DEPTH_TEST);
		dode->run();
		gearAppear = 2;
		gear->run();
		system_crap();
		static sync_c stop("stopdode", 240, 0);
		if (stop.once())
			return;
	}
}

void break_city()
{
	float r = glm::max(0.0f, (beatgrid - 250.0f) * frameskip);
	if (r > 0.0f)
		tunnelflyer.pos += util::ball(r);
	citybomb = glm::max(0.0f, (beatgrid - 248.0f) * 0.2f);
	horizonbomb = glm::max(0.0f, (beatgrid - 248.0f) * 0.1f);
}

void run_third_flight()
{
	tunnelflyer.pos = glm::vec3(0, -100, -200);
	tunnelflyer.vel = glm::vec3(0);
	phone_projection = city_projection();
	glm::mat4 m(1.0f);
	m = rotate_deg(m, 30.0f, glm::vec3(0, 1, 0));
	m = rotate_deg(m, 90.0f, glm::vec3(0, 0, 1));
	phone_rotation_mv = m;
	depth_less();

	for (;;) {
		if (!view_is_window && !seeking)
			glClear(GL_COLOR_BUFFER_BIT);
		tunnelflyer.pos.x += frameskip;
		tunnelflyer.pos.z += 0.1f * frameskip;
		float glow = horizonbomb;  // the backdrop's glow lags the break by a frame
		if (beatgrid > 248.0f)
			break_city();
		city_over_backdrop(glow, false, false);
		system_crap();
		static sync_c stop("stopfly3", 256, 0);
		if (stop.once())
			return;
	}
}

void run_face()
{
	for (;;) {
		clear_under_picture(face_depth);  // ylift is 0 until the space flight
		face->run();
		glEnable(GL_DEPTH_TEST);
		fluid->run();
		static sync_c stop("stopduce", 273, 0);
		if (stop.once())
			return;  // unshown: the space flight clears it
		system_crap();
	}
}

// Returns the phone distance and angle of its last frame.
void run_space_flight(float* zepo_now, float* ang_now)
{
	phone_projection = city_projection();
	for (;;) {
		clear_frame();
		starfield2->run();
		float lift = 0.5f * glm::max(0.0f, beatgrid - 279.0f);
		ylift = -(lift * lift);
		if (ylift > -1.0f)
			face->run();
		face->run();
		*zepo_now = 300.0f - (beatgrid - 273.0f) * 50.0f;
		*ang_now = sqrtf(glm::max(0.0f, beatgrid - 279.0f) / 9.0f) * 117.0f;
		starang = *ang_now - 117.0f;
		phone_rotation_mv = space_phone(*ang_now, *zepo_now);
		if (!seeking)
			phonedraw();
		static sync_c stop("stopspacefly", 288, 0);
		if (stop.once())
			return;
		system_crap();
	}
}

[[noreturn]] void run_finale(float zepo_now, float ang_now)
{
	depth_less();
	zepo_s.init(zepo_now, zepo_now + 10.0f, 0.1f, 0.94f, -0.9f);
	ang_s.init(ang_now, ang_now, 0.01f, 0.94f, 0.02f);
	sf_zchange = 0.1f;

	for (;;) {
		clear_frame();
		zepo_s.iterate(frameskip);
		ang_s.iterate(frameskip);
		starang = ang_s.pos - 117.0f;
		phone_rotation_mv = space_phone(ang_s.pos, zepo_s.pos);
		gravforce = 1.0f + 0.1f * sinf(timeval) + 0.02f * glm::max(0.0f, beatgrid - 300.0f);
		starfield2->run();
		ballspring->run();
		static sync_c text("textbox", 300, 0);
		if (text.past())
			textbox->run();
		if (!seeking)
			phonedraw();
		system_crap();
	}
}

void event_cb(SDL_Event* e)
{
	bool q = e->type == SDL_KEYDOWN && e->key.keysym.sym == SDLK_q;
	if (q || e->type == SDL_QUIT) {
		SDL_Quit();
		exit(1);
	}
}

}  // namespace

// Every event the script and its effects ask for, so that a name in an
// events file that is none of these shows as a typo however far a run
// gets. The events test checks it against a whole run.
const char* const event_names[] = {
	"phonetex_shot", "phonefly1", "phonefly2", "phonespin1", "phonefly3", "phonetex_qvdlogo",
	"startorbitscroller", "phonefly4", "phonetex_mu", "phonefly4-2", "stoporbitscroller-bum",
	"phonefly5", "phonetex_orange", "stoporbitscroller", "gonetextshow", "phonefly6", "startlacing",
	"boom3", "phonetex_callscreen", "startlacing2", "phonefly7", "phonefly8", "phonefly9",
	"phonefly10", "starmover", "tunnel_camdown1", "tunnel_camdown2", "tunnelupmove", "stoptunnel",
	"bump1", "bump2", "bump3", "tunnel_camup1", "bump4", "stopgear", "tunnel_camup2", "stopfly2",
	"stopbump", "dodebum", "dodebum2", "stopdode", "stopfly3", "stopduce", "stopspacefly", "textbox",
};

void demo_config()
{
	config_stencilsize = 8;  // the opening masks the city to the phone's screen
	first_picture = screenshot;
	sync_catalogue(event_names, sizeof(event_names) / sizeof(event_names[0]));
}

void demo_init()
{
	orange->init();
	orangetexgen->init();
	song_file = "quintaro.ogg";
	beat_first = 0.128f;
	beat_last = 5.207f;
	beat_lastnum = 8.0f;
}

void demo_initgl()
{
	demoeffect_c* loading[] = {
		orange, orangetexgen, texturetest, heart, scrollertexgen, fluid,
		flyphone, orbitscroller, tunnel, zreset, starfield, lace, velmor,
		qvdlogo, mujuice, face, pbtausta, dode, ripsilu, gear, ballspring,
		bump, starfield2, textbox,
	};
	const int count = sizeof(loading) / sizeof(loading[0]);
	for (int i = 0; i < count; i++) {
		loading[i]->initgl();
		if (i < count - 1)
			system_crap_pre();
	}

	GLint vp[4];
	glGetIntegerv(GL_VIEWPORT, vp);
	view_is_window = vp[0] == 0 && vp[1] == 0 && vp[2] == video_w && vp[3] == video_h;

	orangetex_fbo = new fbo_c(128, 128, 0);
	orange_fbo = new fbo_c(512, 256, 0);
	if (platform_small_targets)
		scrollertex_fbo = new fbo_c(512, 64, FBO_CLAMP);
	else
		scrollertex_fbo = new fbo_c(1024, 128, FBO_CLAMP);
	set_event_callback(event_cb);
	if (screenshot_surface)
		screenshottex.fromsurface(screenshot_surface);

	// Warm-up: the two effects create their statics and the phone its
	// first events before the clock starts. The picture is drawn over later.
	orange_fbo->bind();
	phonescreentex = screenshottex.textureid;
	starfield->run();
	flyphone->run();
	orange_fbo->unbind();
}

void demo_run()
{
	whiteback.load("gfx/whiteback.jpg", TEX_RGB | TEX_REPEAT);
	callscreentex.load("gfx/callscreen2.jpg", TEX_RGB);
	woodstex.load("gfx/woods.jpg", TEX_RGB);

	run_opening();
	run_credits();
	run_second_flight();
	run_ripsilu();
	run_polyhedron();
	run_third_flight();
	run_face();
	float zepo_now = 0.0f;
	float ang_now = 0.0f;
	run_space_flight(&zepo_now, &ang_now);
	run_finale(zepo_now, ang_now);
}

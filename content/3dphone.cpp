// The flying phone: a textured phone model that flies, tilts and spins on
// timeline events, and finally hands its forward motion to the city camera.
#include <stdio.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/runtime/main.h"
#include "../src/model.h"
#include "../src/shader.h"
#include "../src/sync.h"
#include "../src/util.h"

void (*draw_the_phone_ptr)(bool) = 0;
GLuint phonescreentex = 0;
glm::mat4 phone_rotation_mv(1.0f);
glm::mat4 phone_projection(1.0f);
texture_c nysitex;
bool show_whiteback = false;
bool flyphone_tunnelready = false;
bool phone_screen_covered = false;

namespace {

const char* phone_vs =
	"attribute vec3 pos;\n"
	"attribute vec3 nor;\n"
	"attribute vec2 uv;\n"
	"uniform mat4 mvp;\n"
	"uniform mat3 mv;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	gl_Position = mvp * vec4(pos, 1.0);\n"
	"	vec3 normal = mv * nor;\n"
	"	float zz = clamp(dot(vec3(0.0, 0.0, 1.0), normal), 0.2, 1.0);\n"
	"	v_col = vec4(zz, zz, zz, 1.0);\n"
	"	v_uv = uv;\n"
	"}\n";

const char* phone_fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	gl_FragColor = texture2D(tex, v_uv) * v_col;\n"
	"}\n";

// The model's screen: its centre in model space and its size.
const glm::vec3 n9_s_center(0.0f, 61.55f, 5.4845f);
const float n9_s_w = 50.0f;
const float n9_s_h = 88.958336f;

const int step_key_held = 128;

shader_c shader;
texture_c tex;
model_c* nysi = 0;
GLint mvp_loc = -1, mv_loc = -1, tex_loc = -1, pos_loc = -1, uv_loc = -1, nor_loc = -1;

// The screen quad, relative to the screen centre; u runs down the long axis.
glm::vec3 screenverts[6];
float body_front = 0.0f;  // largest z of the body: it lies behind the screen's plane
glm::vec2 tausta[6];
glm::vec3 normals[6];

// Spring targets for one flight state; states without a row keep them.
struct flight_target_s {
	float zfix;
	float angfix;
	float angfix2_base;
	float angfix2_wave;  // amplitude of sin(timeval) added to the base
};

const flight_target_s flight_targets[9] = {
	{0.0f, 0.0f, 0.0f, 0.0f},
	{-10.0f, -20.0f, -10.0f, 8.0f},
	{-30.0f, -10.0f, 10.0f, 6.0f},
	{-170.0f, 80.0f, 0.0f, 0.0f},
	{-40.0f, 10.0f, 20.0f, 1.0f},
	{-160.0f, 0.0f, 0.0f, 0.0f},
	{-50.0f, 0.0f, 0.0f, 0.0f},
	{-120.0f, 0.0f, 0.0f, 0.0f},
	{-20.0f, 0.0f, 0.0f, 0.0f},
};

void build_screen()
{
	float hw = n9_s_w * 0.5f;
	float hh = n9_s_h * 0.5f;
	const glm::vec2 corner[6] = {
		glm::vec2(-hw, hh), glm::vec2(-hw, -hh), glm::vec2(hw, hh),
		glm::vec2(-hw, -hh), glm::vec2(hw, -hh), glm::vec2(hw, hh)};
	const glm::vec2 uv[6] = {
		glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(0, 1),
		glm::vec2(1, 0), glm::vec2(1, 1), glm::vec2(0, 1)};
	for (int i = 0; i < 6; i++) {
		screenverts[i] = n9_s_center + glm::vec3(corner[i], 0.0f);
		tausta[i] = uv[i];
		normals[i] = glm::vec3(0.0f, 0.0f, 1.0f);
	}
}

void phoneinit()
{
	shader.init(phone_vs, phone_fs);
	mvp_loc = shader.uniform("mvp");
	mv_loc = shader.uniform("mv");
	tex_loc = shader.uniform("tex");
	pos_loc = shader.attrib("pos");
	uv_loc = shader.attrib("uv");
	nor_loc = shader.attrib("nor");
	tex.load("gfx/harmattan-home.png", TEX_RGB);
	nysi = new model_c("N9_low.obj");
	nysitex.load("gfx/N9_uv.png", 0);
	build_screen();
	body_front = -1e30f;
	for (int i = 0; i < 3 * nysi->fcnt; i++)
		body_front = glm::max(body_front, nysi->data[i].pos.z);
}

// True when the screen quad, drawn first, lands on every pixel of the view
// with the eye in front of it: every pixel then holds the quad or something
// nearer, and the body behind the quad's plane cannot show anywhere.
bool screen_hides_body(const glm::mat4& mv, const glm::mat4& mvp)
{
	float screen_z = n9_s_center.z;
	if (body_front >= screen_z || glm::inverse(mv)[3].z <= screen_z)
		return false;
	const int around[4] = {0, 1, 4, 2};  // the quad's corners in turn
	glm::vec2 q[4];
	for (int k = 0; k < 4; k++) {
		glm::vec4 c = mvp * glm::vec4(screenverts[around[k]], 1.0f);
		if (c.w <= 0.0f || c.z < -c.w || c.z > c.w)  // cut by the near or far plane
			return false;
		q[k] = glm::vec2(c) / c.w;
	}
	// each corner of the view, a little beyond it, inside every edge
	float turn = glm::sign((q[1].x - q[0].x) * (q[2].y - q[0].y) - (q[2].x - q[0].x) * (q[1].y - q[0].y));
	for (int v = 0; v < 4; v++) {
		glm::vec2 p((v & 1) ? 1.01f : -1.01f, (v & 2) ? 1.01f : -1.01f);
		for (int k = 0; k < 4; k++) {
			glm::vec2 a = q[k], b = q[(k + 1) % 4];
			if (turn * ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) <= 0.0f)
				return false;
		}
	}
	return true;
}

void draw_the_phone(bool stencil)
{
	glm::mat4 mv = glm::translate(phone_rotation_mv, -n9_s_center);
	glm::mat4 mvp = phone_projection * mv;
	glm::mat3 mv3(mv);

	tex.textureid = phonescreentex;

	shader.use();
	glUniformMatrix4fv(mvp_loc, 1, GL_FALSE, glm::value_ptr(mvp));
	glUniformMatrix3fv(mv_loc, 1, GL_FALSE, glm::value_ptr(mv3));

	if (stencil) {
		glStencilFunc(GL_ALWAYS, 1, 1);
		glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
		glStencilMask(1);
	}
	shader.texture(tex_loc, 0, tex);
	shader.array(pos_loc, 3, GL_FLOAT, 12, screenverts);
	shader.array(uv_loc, 2, GL_FLOAT, 8, tausta);
	shader.array(nor_loc, 3, GL_FLOAT, 12, normals);
	// A screen the script covers whole needs its mark and depth, not its colour.
	bool colour = !(stencil && phone_screen_covered);
	if (!colour)
		glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
	glDrawArrays(GL_TRIANGLES, 0, 6);
	if (!colour)
		glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

	// the body covering the screen's edges clears the mark again
	if (stencil) {
		glStencilFunc(GL_ALWAYS, 0, 1);
		glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
	}
	// A screen filling the view hides the body, which then changes nothing,
	// not even the mark. Drawn in a scene the script set up, the phone may
	// meet other tests: there it is always drawn.
	if (!stencil || !screen_hides_body(mv, mvp)) {
		shader.texture(tex_loc, 0, nysitex);
		shader.array(pos_loc, 3, GL_FLOAT, 32, &nysi->data[0].pos);
		shader.array(uv_loc, 2, GL_FLOAT, 32, &nysi->data[0].tc);
		shader.array(nor_loc, 3, GL_FLOAT, 32, &nysi->data[0].nor);
		glDrawArrays(GL_TRIANGLES, 0, nysi->fcnt * 3);
	}

	shader.array(pos_loc, 0, 0, 0, 0);
	shader.array(uv_loc, 0, 0, 0, 0);
	shader.array(nor_loc, 0, 0, 0, 0);
}

// One press adds one; bit 7 remembers that the key is still held.
void step_key(int& state, bool statekey)
{
	if (statekey && !(state & step_key_held)) {
		state += 1;
		fprintf(stderr, "state is now: %i\n", state);
		if ((state & 127) == 5)
			state = 0;
		state |= step_key_held;
	} else if (!statekey && (state & step_key_held)) {
		state &= ~step_key_held;
	}
}

// Once the phone's offset turns positive its motion becomes the camera's.
void hand_over(spring_c<float>& zfix)
{
	if (zfix.pos <= 0.0f)
		return;
	fprintf(stderr, "running at pos %.5f vel %.5f. accfac %.5f\n", zfix.pos, zfix.vel, zfix.acc);
	tunnelflyer.pos = glm::vec3(0.0f, 0.0f, zfix.pos);
	tunnelflyer.vel = glm::vec3(0.0f, 0.0f, zfix.vel);
	zfix.pos = 0.0f;
	zfix.vel = 0.0f;
	flyphone_tunnelready = true;
}

// The scripted flight: states and spins on their beats.
void flight_events(int& state, spring_c<float>& zfix, spring_c<float>& angfix)
{
	if (sync_c("phonefly1", 0, 0).once()) {
		state = 7;
		zfix.acc = 0.0004f;
	}
	if (sync_c("phonefly2", 1, 0).once()) {
		state = 6;
		zfix.acc = 0.0015f;
	}
	if (sync_c("phonefly3", 6.5f, 0).once())
		state = 4;
	if (sync_c("phonespin1", 4.5f, 0).once())
		angfix.pos -= 360.0f;
	if (sync_c("phonefly4", 20, 0).once())
		state = 2;
	if (sync_c("phonefly4-2", 34, 0).once())
		state = 4;
	if (sync_c("phonefly5", 48, 0).once())
		state = 1;
	if (sync_c("phonefly6", 64, 0).once())
		state = 0;
	if (sync_c("phonefly7", 110, 0).once()) {
		state = 5;
		zfix.acc = 0.0015f;
	}
	if (sync_c("phonefly8", 112, 0).once())
		state = 6;
	sync_c fly9("phonefly9", 114, 0);
	if (fly9.once()) {
		angfix.pos -= 360.0f;
		angfix.damp = 0.93f;
		zfix.acc = 0.0015f;
	}
	// the white background comes in halfway through the second spin
	if (fly9.past() && angfix.pos > -180.0f)
		show_whiteback = true;
	if (sync_c("phonefly10", 127, 0).past()) {
		state = 0;
		hand_over(zfix);
	}
}

void set_targets(int state, spring_c<float>& zfix, spring_c<float>& angfix, spring_c<float>& angfix2)
{
	int s = state & 127;
	if (s > 8)
		return;
	const flight_target_s& t = flight_targets[s];
	zfix.targetpos = t.zfix;
	angfix.targetpos = t.angfix;
	angfix2.targetpos = t.angfix2_wave * sinf(timeval) + t.angfix2_base;
}

// A small jump towards the viewer at the start of every beat.
void beat_kick(int state, spring_c<float>& zfix, bool& clicker)
{
	if (state == 0)
		return;
	float f = fracf(beatgrid);
	if (f < 0.1f && !clicker) {
		zfix.pos += 0.3f;
		clicker = true;
	}
	if (f > 0.1f)
		clicker = false;
}

bool mouse_down()
{
	return SDL_GetMouseState(0, 0) != 0;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		phoneinit();
		draw_the_phone_ptr = draw_the_phone;
	}
	void step();
	void draw() { draw_the_phone(true); }
};

void effect_c::step()
{
	static float zpos = -35.71f;
	static int state = 0;
	static bool clicker = false;
	static float oldzfixpos = 0.0f;

	phone_projection = perspective_deg(70.0f, demo_aspect, 1.0f, 3000.0f);
	glm::mat4 mv(1.0f);

	int change = mouserull[0] - mouserull[1];
	zpos += change * 0.01f;
	if (change != 0)
		fprintf(stderr, "zpos: %.3f\n", zpos);

	bool statekey = (keystate && keystate[32]) || mouse_down();
	step_key(state, statekey);

	static spring_c<float> zfix(0.0f, 0.0015f, 0.974f);
	static spring_c<float> angfix(0.0f, 0.0013f, 0.954532f);
	static spring_c<float> angfix2(0.0f, 0.0026f, 0.971f);

	bool set_starz = sync_c("starmover", 132, 0).past();

	flight_events(state, zfix, angfix);

	set_targets(state, zfix, angfix, angfix2);
	beat_kick(state, zfix, clicker);

	zfix.iterate(frameskip);
	angfix.iterate(frameskip);
	angfix2.iterate(frameskip);

	if (set_starz) {
		sf_zchange = (oldzfixpos - zfix.pos) * 0.001f;
		oldzfixpos = zfix.pos;
	}

	mv = glm::translate(mv, glm::vec3(0.0f, 0.0f, zpos + zfix.pos));
	mv = rotate_deg(mv, angfix.pos, glm::vec3(1, 0, 0));
	mv = rotate_deg(mv, angfix2.pos, glm::vec3(0, 1, 0));
	mv = rotate_deg(mv, 90.0f, glm::vec3(0, 0, 1));
	phone_rotation_mv = mv;
}

effect_c effect;

}  // namespace

demoeffect_c* flyphone = &effect;

// Draws the phone where the timeline put it, without the flight.
void phonedraw()
{
	if (draw_the_phone_ptr)
		draw_the_phone_ptr(false);
}

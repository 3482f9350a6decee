// A swarm of glowing balls: each held on a sphere by a spring, pushed apart
// by the others with the strength gravforce, kicked on every whole beat.
#include <stdio.h>
#include <stdlib.h>
#include <math.h>
#include <algorithm>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/util.h"
#include "../src/runtime/main.h"
#include "../src/shader.h"

float gravforce = 1.0f;

namespace {

const int ball_count = 400;

struct particle_s {
	glm::vec3 pos;
	glm::vec3 vatt;  // velocity from the mutual push
	glm::vec3 vspr;  // velocity from the sphere spring
	particle_s() : pos(0.0f), vatt(0.0f), vspr(0.0f) {}
};

struct vertex_s {
	float x, y, z;
};

particle_s part_data[ball_count];
vertex_s vertex_data[ball_count];
// Handheld draw order, far to near, so blended corners hide nothing behind.
GLushort draw_order[ball_count];
float draw_depth[ball_count];

shader_c shadi;
texture_c tex;

float normalsize = 100.0f;  // sphere radius
float lasttime = 0.0f;      // beatgrid of the last beat kick

const char* vertex_src =
	"attribute vec3 pos;\n"
	"uniform mat4 mvp;\n"
	"uniform mat3 mv;\n"
	"varying vec4 col;\n"
	"void main() {\n"
	"	gl_Position = mvp * vec4(pos, 1.0);\n"
	"	vec3 pos_out = mv * pos;\n"
	"	float zz = max(0.6 + pos_out.z * 0.004, 0.0);\n"
	"	col = clamp(vec4(0.9 * zz, 0.7 * zz * zz, 0.2, 1.0), 0.0, 1.0);\n"
	"	gl_PointSize = 50.0 * zz * zz;\n"
	"}\n";

#ifdef QVD_GLES
// No discard here: the sprite's corners are blended away instead, the
// alpha cut as hard as the desktop's discard cuts it.
const char* fragment_src =
	"precision highp float;\n"
	"uniform sampler2D tex;\n"
	"varying vec4 col;\n"
	"void main() {\n"
	"	vec4 c = texture2D(tex, gl_PointCoord) * col;\n"
	"	gl_FragColor = vec4(c.rgb, step(0.5, c.a));\n"
	"}\n";
const bool blend_corners = true;
#else
// gl_PointCoord needs 1.20; faint sprite edges are cut rather than blended
const char* fragment_src =
	"#version 120\n"
	"uniform sampler2D tex;\n"
	"varying vec4 col;\n"
	"void main() {\n"
	"	vec4 c = texture2D(tex, gl_PointCoord) * col;\n"
	"	if (c.a < 0.5)\n"
	"		discard;\n"
	"	gl_FragColor = c;\n"
	"}\n";
const bool blend_corners = false;
#endif

float r()
{
	return (float)rand() / (float)RAND_MAX;
}

void seed()
{
	for (int i = 0; i < ball_count; i++) {
		particle_s& p = part_data[i];
		p.pos.x = 20 * r() - 10;
		p.pos.y = 20 * r() - 10;
		p.pos.z = 20 * r() - 10;
		p.vatt.x = 2 * r() - 1;
		p.vatt.y = 2 * r() - 1;
		p.vatt.z = 2 * r() - 1;
		p.vspr.x = 2 * r() - 1;
		p.vspr.y = 2 * r() - 1;
		p.vspr.z = 2 * r() - 1;
	}
}

bool held(int key)
{
	return keystate && keystate[key];
}

void debug_keys()
{
	bool any = false;
	if (held(SDLK_1)) {
		normalsize -= 0.1f;
		any = true;
	}
	if (held(SDLK_2)) {
		normalsize += 0.1f;
		any = true;
	}
	if (held(SDLK_3)) {
		gravforce -= 0.1f;
		any = true;
	}
	if (held(SDLK_4)) {
		gravforce += 0.1f;
		any = true;
	}
	if (any)
		fprintf(stderr, "ns: %.2f, gf: %.2f\n", normalsize, gravforce);
}

// Only balls with a higher index push ball i, linearly with separation.
glm::vec3 push_on(int i)
{
	glm::vec3 acc(0.0f);
	for (int j = i + 1; j < ball_count; j++)
		acc += (part_data[i].pos - part_data[j].pos) / 9.0f;
	return acc * 0.0025f;
}

// A ball at the very centre has no direction to the sphere; it is left to
// the push rather than poisoning the swarm with NaN.
glm::vec3 spring_on(int i)
{
	glm::vec3 p = part_data[i].pos;
	float len = glm::length(p);
	if (!(len > 0.0f))
		return glm::vec3(0.0f);
	glm::vec3 target_partpos = p / len * normalsize;
	return (target_partpos - p) * 3.0f;
}

// In place: later balls see the new positions of earlier ones.
void move_balls()
{
	for (int i = 0; i < ball_count; i++) {
		particle_s& p = part_data[i];
		glm::vec3 acc = push_on(i);
		glm::vec3 acc2 = spring_on(i);
		p.vatt = 0.2f * p.vatt + 0.2f * gravforce * acc;
		p.vspr = 0.95f * p.vspr + 0.001f * acc2;
		p.pos += p.vatt;
		p.pos += p.vspr;
		vertex_data[i].x = p.pos.x;
		vertex_data[i].y = p.pos.y;
		vertex_data[i].z = p.pos.z;
	}
}

// One kick per new whole beat, however many beats passed since the last.
void beat_kick()
{
	if (floorf(lasttime) == floorf(beatgrid))
		return;
	lasttime = beatgrid;
	for (int i = 0; i < ball_count; i++)
		part_data[i].vspr += 0.1f * util::linear(glm::vec3(-1.0f), glm::vec3(1.0f));
}

// A nearer ball's blended-away corners still write depth; drawn after
// everything behind it, they hide nothing.
void draw_far_to_near(const glm::mat3& mv)
{
	for (int i = 0; i < ball_count; i++) {
		glm::vec3 p(vertex_data[i].x, vertex_data[i].y, vertex_data[i].z);
		draw_depth[i] = (mv * p).z;
		draw_order[i] = (GLushort)i;
	}
	std::sort(draw_order, draw_order + ball_count,
		[](GLushort a, GLushort b) { return draw_depth[a] < draw_depth[b]; });
	glEnable(GL_BLEND);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glDrawElements(GL_POINTS, ball_count, GL_UNSIGNED_SHORT, draw_order);
	glDisable(GL_BLEND);
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shadi.init(vertex_src, fragment_src);
		tex.load("gfx/dot.png", 0);
		seed();
	}

	void step()
	{
		debug_keys();
		move_balls();
		beat_kick();
	}

	void draw()
	{
		shadi.use();
		glm::mat4 projection = perspective_deg(20.0f, demo_aspect, 1.0f, 3000.0f);
		glm::mat4 position = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -1000.0f));
		glm::mat4 view = rotate_deg(glm::mat4(1.0f), 10.0f * timeval, glm::vec3(1.0f, 0.0f, 0.6f));
		glm::mat4 mvp = projection * position * view;
		glm::mat3 mv(view);
		glUniformMatrix4fv(shadi.uniform("mvp"), 1, GL_FALSE, glm::value_ptr(mvp));
		glUniformMatrix3fv(shadi.uniform("mv"), 1, GL_FALSE, glm::value_ptr(mv));

		shadi.texture("tex", 0, tex);
		shadi.array("pos", 3, GL_FLOAT, 12, vertex_data);
		if (blend_corners)
			draw_far_to_near(mv);
		else
			glDrawArrays(GL_POINTS, 0, ball_count);
		shadi.array("pos", 0, 0, 0, NULL);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* ballspring = &effect;

// 10000 points flowing over the face picture. The flow is simulated once at
// start-up, one texture row per step; drawing only scrolls through the rows.
#include <stdio.h>
#include <stdlib.h>
#include <math.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/util.h"
#include "../src/shader.h"

namespace {

const int pointcount = 10000;
const int particles = 64;  // texture columns
const int steps = 2048;    // texture rows
const int colour_step = 63;
const float squash = 0.5620609f;  // 480 / 854: equal units in x and y on screen

shader_c shader;
texture_c tex_pos;
SDL_Surface* posbuf;  // pixels of tex_pos, kept after the upload
glm::vec2 points[pointcount];
glm::vec3 cols[pointcount];

const char* vertex_src =
	FRAG_HEAD  // the handheld wants it in both stages
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"attribute vec3 col;\n"
	"uniform float poso;\n"
	"uniform float white;\n"
	"uniform sampler2D tex_pos;\n"
	"varying vec3 v_col;\n"
	"void main() {\n"
	"	v_col = col + white;\n"
	"	vec2 particle_pos = texture2D(tex_pos, pos + vec2(0.0, poso)).xy;\n"
	"	gl_Position = vec4(particle_pos * 2.0 - vec2(1.0, 1.0), 0.9989, 1.0);\n"
	"	gl_PointSize = 10.0;\n"
	"}\n";

const char* fragment_src =
	FRAG_HEAD
	"const float PI = 3.14159265358979323846264;\n"
	"uniform float aa;\n"
	"varying vec3 v_col;\n"
	"void main() {\n"
	"	gl_FragColor = vec4(v_col, aa);\n"
	"}\n";

struct curves_s {
	float poso;   // scroll through the rows, 0 .. 1
	float aa;     // opacity
	float white;  // added to the colour
};

// The whole animation as a function of the beat: runs from beat 256,
// slows towards beat 271, then fades out by 273.
curves_s curves(float beat)
{
	curves_s c;
	float xxt = beat - 256.0f;
	c.poso = 1.0f - powf(glm::clamp(1.0f - xxt / 15.0f, 0.0f, 1.0f), 1.5f);
	c.aa = glm::clamp(1.0f - (xxt - 15.0f) / 2.0f, 0.0f, 1.0f);
	c.white = fmaxf(1.0f - xxt / 4.0f, 0.0f);
	return c;
}

bool blended(float aa)
{
	return aa < 0.99f;
}

// Clamped before the conversion: a far-flung particle must not overflow int.
int to_byte(float v)
{
	return (int)glm::clamp(floorf(v * 255.0f + 0.5f), 0.0f, 255.0f);
}

// Simulation space to the texel: squashed to screen units, 0..1, one byte
// each in red and green. Off-screen positions stick to the edge.
Uint32 encode(glm::vec2 p)
{
	glm::vec2 pp = p;
	pp.x *= squash;
	pp = pp * 0.5f + glm::vec2(0.5f);
	return (Uint32)to_byte(pp.x) | ((Uint32)to_byte(pp.y) << 8);
}

Uint32* texel(SDL_Surface* s, int x, int y)
{
	return (Uint32*)((Uint8*)s->pixels + y * s->pitch) + x;
}

glm::vec2 rnd2()
{
	return util::linear(glm::vec2(-1.0f), glm::vec2(1.0f));
}

// One particle, one step, pulled towards the attractor with a sideways
// swirl. A particle right on the attractor gets no pull this step.
void advance(glm::vec2& pos, glm::vec2& vel, glm::vec2 midpos)
{
	const float timemul = 3.0f;
	vel += rnd2() * 0.01f;
	glm::vec2 d = midpos - pos;
	float len = glm::length(d);
	glm::vec2 dv = len > 0.0f ? d / len : glm::vec2(0.0f);
	vel += dv * 0.1f * timemul;
	vel += glm::vec2(dv.y, dv.x) * 0.01f * timemul;
	pos += vel * 0.1f * timemul;
}

void simulate()
{
	glm::vec2 posses[particles];
	glm::vec2 vposses[particles];
	for (int i = 0; i < particles; i++) {
		glm::vec2 p;
		p.x = glm::fract(i / 16.0f) * 2.3f - 1.0f;
		p.y = (floorf(i / 16.0f) / 128.0f) * 2.0f - 1.0f;
		p += rnd2() * 0.02f;
		p.x /= squash;
		posses[i] = p;
		vposses[i] = glm::vec2(0.0f);
	}
	for (int y = 0; y < steps; y++) {
		glm::vec2 midpos = glm::vec2(0.0f) + rnd2() * 0.1f;
		for (int x = 0; x < particles; x++) {
			advance(posses[x], vposses[x], midpos);
			*texel(posbuf, x, y) = encode(posses[x]);
		}
	}
}

glm::vec2 stored_pos(int column, int row)
{
	Uint32 t = *texel(posbuf, glm::clamp(column, 0, particles - 1), row);
	return glm::vec2((t & 0xff) / 255.0f, ((t >> 8) & 0xff) / 255.0f);
}

glm::vec3 pixel_colour(SDL_Surface* poo, int x, int y)
{
	Uint8* p = (Uint8*)poo->pixels + y * poo->pitch + x * 4;
	return glm::vec3(p[0], p[1], p[2]) / 255.0f;
}

// Each point sits on the particle chain at a fractional index and takes the
// picture's colour where the chain lies at the colour step.
void colour_points(SDL_Surface* poo)
{
	for (int i = 0; i < pointcount; i++) {
		points[i] = glm::vec2(i / 10000.0f, 0.5f / steps);
		points[i].x += util::linear(-0.1f, 0.1f);
		float tx = points[i].x * particles - 0.5f;
		glm::vec2 p1 = stored_pos((int)floorf(tx), colour_step);
		glm::vec2 p2 = stored_pos((int)ceilf(tx), colour_step);
		glm::vec2 p = glm::mix(p1, p2, glm::fract(tx));
		int w = poo->w;
		int xx = (int)(p.x * w);
		int yy = (int)(p.y * 480.0f + 20.0f);
		xx = (w + xx) % w;
		yy = (yy + 500) % 500;
		// the band is 500 rows; a shorter picture gives its top row instead
		yy = glm::min(yy, poo->h - 1);
		cols[i] = pixel_colour(poo, xx, yy);
	}
}

void crapmaker()
{
	SDL_Surface* poo = texture_c::load_image("gfx/face.jpg", GL_RGBA);
	fprintf(stderr, "poo: %p\n", (void*)poo);
	posbuf = SDL_CreateRGBSurface(SDL_SWSURFACE, particles, steps, 32, 0xff, 0xff00, 0xff0000, 0);
	simulate();
	tex_pos.fromsurface(posbuf, 0);
	colour_points(poo);
	SDL_FreeSurface(poo);
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		// The points read their positions in the vertex shader, which
		// OpenGL ES 2 allows a driver to refuse (0 units).
		GLint units = 0;
		glGetIntegerv(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, &units);
		if (units < 1) {
			fprintf(stderr, "the GL driver reads no textures in vertex shaders (GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS 0), which the point fluid needs\n");
			exit(1);
		}
		shader.init(vertex_src, fragment_src);
		crapmaker();
	}

	void draw()
	{
		curves_s c = curves(beatgrid);
		shader.use();
		glUniform1f(shader.uniform("poso"), c.poso);
		glUniform1f(shader.uniform("aa"), c.aa);
		glUniform1f(shader.uniform("white"), c.white);
		shader.texture("tex_pos", 0, tex_pos);
		shader.array("pos", 2, GL_FLOAT, 8, points);
		shader.array("col", 3, GL_FLOAT, 12, cols);
		bool blend = blended(c.aa);
		if (blend) {
			glEnable(GL_BLEND);
			glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
		}
		glDrawArrays(GL_POINTS, 0, pointcount);
		if (blend)
			glDisable(GL_BLEND);
		shader.array("pos", 0, 0, 0, NULL);
		shader.array("col", 0, 0, 0, NULL);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* fluid = &effect;

// The backdrop behind the city: it resets the depth buffer, then lays the
// dark metal picture at the far end, with a glowing disc of radius
// horizonbomb low in the picture when the city breaks up.
#include <math.h>

#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/occlusion.h"
#include "../src/shader.h"

float horizonbomb = 0.0f;

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"uniform float u_pitch;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.999999, 1.0);\n"
	"  v_uv = pos * 0.8 + vec2(0.1, u_pitch);\n"
	"}\n";

// smoothstep(0.0, -0.1, d) written out: GLSL leaves reversed edges undefined.
const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float bombsize;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  float d = length(v_uv - vec2(0.5, 0.2)) - bombsize;\n"
	"  float t = clamp(-10.0 * d, 0.0, 1.0);\n"
	"  float bomb = t * t * (3.0 - 2.0 * t);\n"
	"  gl_FragColor = texture2D(tex, v_uv) + bomb * vec4(1.0, 0.7, 0.3, 0.0) * 4.0;\n"
	"}\n";

shader_c shader;
texture_c tex;
GLint bombsize_loc = -1, tex_loc = -1, pos_loc = -1;
const int max_open = 48;
occlusion_rect_s open[max_open];

}  // namespace

// The picture without the depth reset, with a glow of radius bombsize.
// With open_only it lies behind the city just drawn, the scissor test is
// off, and it is drawn only over the screen the city's faces left open,
// the same rectangle cut by a few scissor boxes: every pixel it reaches
// gets the same value as before.
void zreset_backdrop(float bombsize, bool open_only)
{
	shader.use();
	glUniform1f(bombsize_loc, bombsize);
	shader.texture(tex_loc, 0, tex);
	int n = open_only ? occlusion_open(open, max_open) : -1;
	if (n < 0) {
		draw_unit_quad(shader, false);
		return;
	}
	GLint vp[4];
	glGetIntegerv(GL_VIEWPORT, vp);
	glEnable(GL_SCISSOR_TEST);
	shader.array(pos_loc, 2, GL_FLOAT, 8, unit_quad);
	for (int i = 0; i < n; i++) {
		// every pixel whose centre lies in the rectangle, and maybe a few more
		int x0 = vp[0] + (int)floorf((open[i].x0 + 1.0f) * 0.5f * vp[2]);
		int y0 = vp[1] + (int)floorf((open[i].y0 + 1.0f) * 0.5f * vp[3]);
		int x1 = vp[0] + (int)ceilf((open[i].x1 + 1.0f) * 0.5f * vp[2]);
		int y1 = vp[1] + (int)ceilf((open[i].y1 + 1.0f) * 0.5f * vp[3]);
		glScissor(x0, y0, x1 - x0, y1 - y0);
		glDrawArrays(GL_TRIANGLES, 0, 6);
	}
	shader.array(pos_loc, 0, 0, 0, 0);
	glDisable(GL_SCISSOR_TEST);
}

namespace {

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/darkmetal.jpg", 1);
		bombsize_loc = shader.uniform("bombsize");
		pos_loc = shader.attrib("pos");
		tex_loc = shader.uniform("tex");
		glUniform1f(shader.uniform("u_pitch"), 0.0f);  // never changes
	}

	void draw()
	{
		glClear(GL_DEPTH_BUFFER_BIT);
		zreset_backdrop(horizonbomb, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* zreset = &effect;

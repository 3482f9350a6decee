// The backdrop behind the city: it resets the depth buffer, then lays the
// dark metal picture at the far end, with a glowing disc of radius
// horizonbomb low in the picture when the city breaks up.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
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
GLint bombsize_loc = -1, tex_loc = -1;

}  // namespace

// The picture without the depth reset, with a glow of radius bombsize.
void zreset_backdrop(float bombsize)
{
	shader.use();
	glUniform1f(bombsize_loc, bombsize);
	shader.texture(tex_loc, 0, tex);
	draw_unit_quad(shader, false);
}

namespace {

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/darkmetal.jpg", 1);
		bombsize_loc = shader.uniform("bombsize");
		tex_loc = shader.uniform("tex");
		glUniform1f(shader.uniform("u_pitch"), 0.0f);  // never changes
	}

	void draw()
	{
		glClear(GL_DEPTH_BUFFER_BIT);
		zreset_backdrop(horizonbomb);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* zreset = &effect;

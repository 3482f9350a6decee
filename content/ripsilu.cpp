// The ripsilu picture full screen, brightened by ripsilu_mm as its stage ends.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/shader.h"

float ripsilu_mm = 0.0f;

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.9, 1.0);\n"
	"  v_uv = pos;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex2;\n"
	"uniform float u_mm;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = vec4(texture2D(tex2, v_uv).rgb + u_mm, 1.0);\n"
	"}\n";

shader_c shader;
texture_c tex;


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/ripsilu.jpg", 1);
	}

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("u_mm"), ripsilu_mm);
		shader.texture("tex2", 0, tex);
		draw_unit_quad(shader, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* ripsilu = &effect;

// The group logo for the phone's screen, its mask added in moving bands.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = pos;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform sampler2D tex2;\n"
	"uniform float time;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec3 base = texture2D(tex, v_uv).rgb;\n"
	"  float band = sin(time * -2.0 + v_uv.y * 60.0) + 2.0;\n"
	"  gl_FragColor = vec4(base + band * texture2D(tex2, v_uv).rgb * 0.33, 1.0);\n"
	"}\n";

shader_c shader;
texture_c qvdlogotex;
texture_c qvdlogomasktex;


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		qvdlogotex.load("gfx/qvdlogo.jpg", 1);
		qvdlogomasktex.load("gfx/qvdlogomask.jpg", 1);
	}

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		shader.texture("tex", 0, qvdlogotex);
		shader.texture("tex2", 1, qvdlogomasktex);
		draw_unit_quad(shader, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* qvdlogo = &effect;

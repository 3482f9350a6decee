// Two pictures for the phone's screen: the first shaken sideways in
// saw-tooth bands, added to the second around mid-grey.
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
	"  vec2 uvx = v_uv + vec2(fract(v_uv.y * 40.0 + time * 1.0) * 0.02, 0.0)\n"
	"    + vec2(fract(v_uv.y * -30.0 + time * 1.0) * 0.02, 0.0);\n"
	"  vec3 t1 = texture2D(tex2, v_uv).rgb;\n"
	"  vec3 t2 = texture2D(tex, uvx).rgb;\n"
	"  gl_FragColor = vec4(t1 + t2 - vec3(0.5, 0.5, 0.5), 1.0);\n"
	"}\n";

shader_c shader;
texture_c tex;
texture_c tex2;


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/mujuice.jpg", 1);
		tex2.load("gfx/mujuice2.jpg", 1);
	}

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		shader.texture("tex", 0, tex);
		shader.texture("tex2", 1, tex2);
		draw_unit_quad(shader, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* mujuice = &effect;

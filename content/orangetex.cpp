// The texture behind the orange pattern: two tiled pictures scrolling to
// the right, mixed and tinted warmer as time goes on. "boom3" makes the
// bubbles flare.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/sync.h"

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, -2.0 / 1.0) + vec2(-1.0, 1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = uv;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform sampler2D tex2;\n"
	"uniform float time;\n"
	"uniform float bubemph;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec4 c = texture2D(tex, v_uv - vec2(time * 0.4, sin(time) * time * 0.01)) * bubemph\n"
	"    + texture2D(tex2, v_uv - vec2(time * 0.6, sin(time) * time * 0.01));\n"
	"  gl_FragColor = c * 0.5 * vec4(1.0 + time * 0.009, 1.0, 1.0 - time * 0.092, 0.0);\n"
	"}\n";

shader_c shader;
spring_c<float> bubemph(1.0f, 0.004f, 0.96f);  // the bubbles' emphasis
texture_c tex;   // bubbles
texture_c tex2;  // jeans


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/bubbles.jpg", TEX_RGB | TEX_REPEAT);
		tex2.load("gfx/jeans.jpg", TEX_RGB | TEX_REPEAT);
	}

	void step()
	{
		bubemph.iterate(frameskip);
		sync_c boom3("boom3", 96, 0);
		if (boom3.once())
			bubemph.pos = 2.3f;
	}

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		glUniform1f(shader.uniform("bubemph"), bubemph.pos);
		shader.texture("tex", 0, tex);
		shader.texture("tex2", 1, tex2);
		draw_unit_quad(shader, true);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* orangetexgen = &effect;

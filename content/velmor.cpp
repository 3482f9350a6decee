// The roses: a beat-pulsed band of tiled roses drawn over the scroller text,
// revealed from the right as distdist falls.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"uniform float beatgrid;\n"
	"varying vec2 v_uv;\n"
	"varying vec2 v_uv2;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, -2.0 / 1.0) + vec2(-1.0, 1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = uv * vec2(3.5, 2.0);\n"
	"  v_uv2 = uv * vec2(3.0, 1.0) + vec2(0.5 + pow(beatgrid - 1.0, 10.0), 0.0);\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float time;\n"
	"uniform float beatgrid;\n"
	"uniform float distdist;\n"
	"varying vec2 v_uv;\n"
	"varying vec2 v_uv2;\n"
	"void main() {\n"
	"  vec4 value = texture2D(tex, v_uv2);\n"
	"  float satur = 1.0 + sin(time) * 0.3;\n"
	"  value.rgb = pow(value.rgb, vec3(beatgrid));\n"
	"  float dist = clamp((v_uv.x - distdist) * 3.0, 0.0, 1.0);\n"
	"  gl_FragColor = vec4(satur, satur, satur, dist) * value;\n"
	"}\n";

shader_c shader;
float disads = 6.0f;  // the ripple's distance, shrinking
texture_c tex;


// Jumps to 2 on every odd beat and falls towards 1 over two beats; it never
// goes below 1, so the shader's pow never sees a negative base.
float beat_saw(float beat)
{
	return 2.0f - glm::fract(0.5f * beat + 0.5f);
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/roses.png", TEX_REPEAT);
	}

	void step() { disads -= 0.01f * frameskip; }

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		glUniform1f(shader.uniform("beatgrid"), beat_saw(beatgrid));
		glUniform1f(shader.uniform("distdist"), disads);
		shader.texture("tex", 0, tex);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
		draw_unit_quad(shader, true);
		glDisable(GL_BLEND);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* velmor = &effect;

// Black over the phone's screen outside a shrinking circle, with the lace
// picture cutting through the black.
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
	"varying vec2 v_uv2;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, -2.0 / 1.0) + vec2(-1.0, 1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  vec2 uvs = uv * vec2(3.5, 2.0);\n"
	"  v_uv2 = uvs - vec2(1.75, 1.0);\n"
	"  v_uv = uvs * 0.5;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float time;\n"
	"uniform float distdist;\n"
	"varying vec2 v_uv;\n"
	"varying vec2 v_uv2;\n"
	"void main() {\n"
	"  float value = texture2D(tex, v_uv).r;\n"
	"  float dist = clamp((length(v_uv2) - distdist) * 3.0, 0.0, 1.0);\n"
	"  gl_FragColor = vec4(0.0, 0.0, 0.0, dist - value);\n"
	"}\n";

shader_c shader;
spring_c<float> distdist(2.0f, 0.5f, 0.002f, 0.4f);  // the lace's weave
texture_c tex;


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/lacetrace.jpg", TEX_RGB | TEX_REPEAT);
	}

	void step()
	{
		sync_c startlacing("startlacing", 80, 0);
		sync_c startlacing2("startlacing2", 105, 0);
		if (startlacing.past())
			distdist.iterate(frameskip);
		if (startlacing2.past())
			distdist.targetpos = -1.0f;
	}

	void draw()
	{
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		glUniform1f(shader.uniform("distdist"), distdist.pos);
		shader.texture("tex", 0, tex);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
		draw_unit_quad(shader, true);
		glDisable(GL_BLEND);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* lace = &effect;

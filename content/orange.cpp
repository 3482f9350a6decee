// A polar, flower-like pattern over the texture that orangetexgen renders:
// five lobes turning slowly, the texture running outwards and around.
#include <math.h>

#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, -2.0 / 1.0) + vec2(-1.0, 1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = norpos * vec2(854.0 / 480.0, 1.0);\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float time;\n"
	"uniform float contract;\n"
	"varying vec2 v_uv;\n"
	"const float PI = 3.14159265358979323846264;\n"
	"void main() {\n"
	"  float ang = atan(v_uv.x, v_uv.y);\n"
	"  float dst = dot(v_uv, v_uv);\n"
	"  float col2 = 0.5 + sin(ang * 5.0 - time * 1.0) * 0.5;\n"
	"  float lit = (dst - col2 - contract) - 0.7;\n"
	"  vec2 tc = vec2(0.6 + (dst + lit * 0.1), lit * sin(time) * -0.1 + ang * (5.0 / PI));\n"
	"  gl_FragColor = texture2D(tex, tc) * lit;\n"
	"}\n";

shader_c shader;
texture_c tex;  // never loaded: borrows the GL name of orangetex


// Swings with sin(time) at first and settles on -1.5 at 25 seconds.
float contract_at(float time)
{
	double m = time * 0.04;
	if (m > 1.0)
		m = 1.0;
	float mf = (float)m;
	return (1.0f - mf) * sinf(time) + mf * -1.5f;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
	}

	void draw()
	{
		tex.flags = 0;
		tex.textureid = orangetex;
		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		glUniform1f(shader.uniform("contract"), contract_at(timeval));
		shader.texture("tex", 0, tex);
		draw_unit_quad(shader, true);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* orange = &effect;

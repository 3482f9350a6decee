// A turning cog wheel that slides in from the right, rests in the upper
// right corner and slides out again, steered by gearAppear.
#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/shader.h"

int gearAppear = 0;

namespace {

shader_c shader;
texture_c tex;

// Centre of the gear in device coordinates.
spring_c<glm::vec2> ratpos(glm::vec2(2.0f, 0.8f), glm::vec2(2.0f, 0.8f),
	glm::vec2(0.02f), glm::vec2(0.095f));

const float offscreen_x = 1.4f;  // centre beyond this: nothing of it shows

const GLfloat tausta[12] = { 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1 };

const char* vertex_src =
	"attribute vec2 pos;\n"
	"uniform float time;\n"
	"uniform vec2 ratpos;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"	float a = time * 0.4;\n"
	"	mat2 hupl = mat2(sin(a), cos(a), -cos(a), sin(a));\n"
	"	norpos = hupl * norpos * vec2(480.0 / 854.0, 1.0) * 0.7;\n"
	"	norpos += ratpos;\n"
	"	gl_Position = vec4(norpos, 0.8, 1.0);\n"
	"	v_uv = pos;\n"
	"}\n";

const char* fragment_src =
	FRAG_HEAD
	"uniform sampler2D tex2;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	gl_FragColor = texture2D(tex2, v_uv);\n"
	"}\n";

// 0 waits outside the right edge, 1 shows, 2 leaves up and to the right;
// other values keep the current target.
glm::vec2 gear_stop(int appear, glm::vec2 current)
{
	switch (appear) {
	case 0: return glm::vec2(1.5f, 0.8f);
	case 1: return glm::vec2(0.9f, 0.8f);
	case 2: return glm::vec2(1.5f, 1.2f);
	default: return current;
	}
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vertex_src, fragment_src);
		tex.load("gfx/gear.png", 0);
	}

	void step()
	{
		ratpos.targetpos = gear_stop(gearAppear, ratpos.targetpos);
		ratpos.iterate(frameskip);
	}

	void draw()
	{
		if (ratpos.pos.x > offscreen_x)
			return;

		shader.use();
		glUniform1f(shader.uniform("time"), beatgrid);
		glUniform2fv(shader.uniform("ratpos"), 1, glm::value_ptr(ratpos.pos));
		shader.texture("tex2", 0, tex);
		shader.array("pos", 2, GL_FLOAT, 0, tausta);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
		glDrawArrays(GL_TRIANGLES, 0, 6);
		glDisable(GL_BLEND);
		shader.array("pos", 0, 0, 0, NULL);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* gear = &effect;

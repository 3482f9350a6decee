// A 3D field of stars flown through at a steady speed; the timeline turns
// its camera about the vertical axis through `starang`.
#include "effects.h"
#include "stars.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/util.h"
#include "../src/shader.h"

float starang = 0.0f;

namespace {

const char* star_vs =
	"attribute vec3 pos;\n"
	"uniform mat4 mvp;\n"
	"varying vec4 v_col;\n"
	"void main() {\n"
	"	gl_Position = mvp * vec4(pos, 1.0);\n"
	"	gl_PointSize = clamp(200.0 / gl_Position.w, 1.0, 6.0);\n"
	"	v_col = vec4(1.0, 1.0, 1.0, 1.0) * (100.0 - gl_Position.z) / 100.0;\n"
	"}\n";

glm::vec3 stars[starcount];
shader_c shader;

void resetstar(int i, float spread, float base)
{
	stars[i] = util::linear(glm::vec3(-100.0f, -100.0f, base - spread), glm::vec3(100.0f, 100.0f, base + spread));
}

// Stars that pass the viewer come back far ahead.
void move_stars(float dz)
{
	for (int i = 0; i < starcount; i++) {
		stars[i].z += dz;
		if (stars[i].z > 100.0f)
			resetstar(i, 10.0f, -110.0f);
	}
}

glm::mat4 star_mvp()
{
	glm::mat4 p = perspective_deg(70.0f, demo_aspect, 0.001f, 100.0f);
	glm::mat4 mv = rotate_deg(glm::mat4(1.0f), starang, glm::vec3(0, 1, 0));
	return p * mv;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		init_stars(shader, star_vs, resetstar, 100.0f, 0.0f);
	}
	void step() { move_stars(frameskip * 0.4f); }
	void draw()
	{
		glm::mat4 mvp = star_mvp();

		shader.use();
		glUniformMatrix4fv(shader.uniform("mvp"), 1, GL_FALSE, glm::value_ptr(mvp));
		draw_stars(shader, stars);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* starfield2 = &effect;

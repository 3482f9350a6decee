// Stars in clip space, their depth the perspective divisor; they drift
// towards the viewer, or with the phone once it takes over `sf_zchange`.
#include "effects.h"
#include "stars.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/util.h"

float sf_zchange = 0.0f;

namespace {

const char* star_vs =
	"attribute vec3 pos;\n"
	"varying vec4 v_col;\n"
	"void main() {\n"
	"	gl_Position = vec4(pos.x, pos.y, pos.z, pos.z);\n"
	"	gl_PointSize = clamp(6.0 * (1.0 - pos.z), 1.0, 6.0);\n"
	"	v_col = vec4(1.0, 1.0, 1.0, 1.0) * (1.0 - pos.z);\n"
	"}\n";

glm::vec3 stars[starcount];
shader_c shader;

void resetstar(int i, float spread, float base)
{
	float z = util::rnd() * spread + base;
	float x = util::rnd_n();
	float y = util::rnd_n();
	stars[i] = glm::vec3(x, y, z);
}

// Approaching stars that pass the viewer come back at the far end;
// receding ones that pass the far end come back from behind the viewer.
void move_stars(float dz)
{
	if (dz <= 0.0f) {
		for (int i = 0; i < starcount; i++) {
			stars[i].z += dz;
			if (stars[i].z < 0.0f)
				resetstar(i, 0.1f, 1.0f);
		}
	} else {
		for (int i = 0; i < starcount; i++) {
			stars[i].z += dz;
			if (stars[i].z > 1.0f)
				resetstar(i, 0.1f, -0.2f);
		}
	}
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		init_stars(shader, star_vs, resetstar, 1.2f, 0.0f);
	}
	void step()
	{
		move_stars(sf_zchange);
		sf_zchange = frameskip * -0.004f;
	}
	void draw()
	{
		shader.use();
		draw_stars(shader, stars);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* starfield = &effect;

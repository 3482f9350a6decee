// Credits engraved into bump-mapped rock under a wandering, flickering light.
// A camera spring glides over the credits sheet from stop to stop.
#include <stdlib.h>
#include <math.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/util.h"
#include "../src/shader.h"

int bumptgt = 0;
const float bump_depth = 0.1f;  // as its vertex shader puts it

namespace {

shader_c shader;
texture_c tex;
texture_c texnor;
texture_c texdecal;

// Camera offset in pixels, and the light in the same pixel space.
spring_c<glm::vec2> mover(glm::vec2(-400.0f, -800.0f), glm::vec2(0.0f),
	glm::vec2(0.003f), glm::vec2(0.95f));
spring_c<glm::vec3> valomover(glm::vec3(-400.0f, -800.0f, -20.0f), glm::vec3(0.0f),
	glm::vec3(0.005f), glm::vec3(0.91f));

const GLfloat quad2_v1[8] = { 0, 0, 854, 0, 0, 480, 854, 480 };

const char* vertex_src =
	"attribute vec3 pos;\n"
	"uniform vec2 scale;\n"
	"varying vec2 v_tc;\n"
	"varying vec2 v_tc_decal;\n"
	"varying vec2 v_pp;\n"
	"varying float intensity;\n"
	"void main() {\n"
	"	vec2 pixelpos = pos.xy / vec2(854.0, 480.0);\n"
	"	gl_Position = vec4(pixelpos * vec2(2.0, 2.0) - vec2(1.0, 1.0), 0.1, 1.0);\n"
	"	v_tc = (vec2(0.5, 0.5) + pos.xy + scale) / 256.0;\n"
	"	v_tc_decal = (pos.xy + scale + vec2(0.0, 1024.0)) / vec2(2048.0, 1024.0);\n"
	"	v_pp = pos.xy + scale;\n"
	"	intensity = 1.0;\n"
	"}\n";

const char* fragment_src =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform sampler2D texnor;\n"
	"uniform sampler2D texdecal;\n"
	"uniform vec3 lightdir;\n"
	"varying vec2 v_tc;\n"
	"varying vec2 v_tc_decal;\n"
	"varying vec2 v_pp;\n"
	"varying float intensity;\n"
	"void main() {\n"
	"	vec3 normal = normalize(texture2D(texnor, v_tc).rgb - vec3(0.5, 0.5, 0.5));\n"
	"	vec3 lv = vec3(v_pp, 0.0) - lightdir;\n"
	"	vec3 ld = normalize(lv);\n"
	"	float shade = 0.2 + clamp(dot(ld, normal), 0.0, 1.0) * 1.5;\n"
	"	gl_FragColor.rgb = mix(texture2D(tex, v_tc).rgb, vec3(0.1, 0.02, 0.0),\n"
	"		texture2D(texdecal, v_tc_decal).rgb) * shade;\n"
	"}\n";

// The stops on the sheet; other values keep the current target.
glm::vec2 camera_stop(int tgt, glm::vec2 current)
{
	switch (tgt) {
	case 0: return glm::vec2(-140.0f, -450.0f);
	case 10: return glm::vec2(700.0f, -900.0f);
	case 20: return glm::vec2(450.0f, -942.0f);
	case 30: return glm::vec2(1200.0f, -500.0f);
	case 40: return glm::vec2(2600.0f, -1000.0f);
	default: return current;
	}
}

// A Lissajous path around the camera's destination, bobbing in depth.
glm::vec3 light_target(glm::vec2 dest, float t)
{
	return glm::vec3(dest.x + cosf(t * 10.0f) * 370.0f,
		dest.y + sinf(t * 10.0f * 1.11234f) * 370.0f,
		cosf(t * 3.47734f) * 30.0f - 90.08f);
}

float flicker()
{
	return (rand() & 0xffff) / 65535.0f * 10.03f;
}

glm::vec3 light;  // this frame's light, flicker included

void move_camera()
{
	mover.targetpos = camera_stop(bumptgt, mover.targetpos);
	if (frameskip > 0)
		mover.vel += util::circle(1.0f);
	mover.iterate(frameskip);

	valomover.targetpos = light_target(mover.targetpos, timeval);
	if (frameskip > 0)
		valomover.vel += util::sphere(1.0f);
	valomover.iterate(frameskip);
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vertex_src, fragment_src);
		texnor.load("gfx/rocknormal.jpg", 9);
		tex.load("gfx/rock.jpg", 9);
		texdecal.load("gfx/credits.jpg", 1);
	}

	void step()
	{
		move_camera();
		light = valomover.pos + glm::vec3(520.0f, 200.0f, flicker());
	}

	void draw()
	{
		shader.use();
		shader.texture("tex", 0, tex);
		shader.texture("texnor", 1, texnor);
		shader.texture("texdecal", 2, texdecal);
		glUniform2fv(shader.uniform("scale"), 1, glm::value_ptr(mover.pos));
		glUniform3fv(shader.uniform("lightdir"), 1, glm::value_ptr(light));

		shader.array("pos", 2, GL_FLOAT, 0, quad2_v1);
		glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
		shader.array("pos", 0, 0, 0, NULL);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* bump = &effect;

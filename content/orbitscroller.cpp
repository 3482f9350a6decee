// A ring of scrolling text in orbit around the phone, drawn in the phone's
// own frame so that it follows the flight and the spins.
#include <math.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/shader.h"

GLuint scrollertex = 0;

namespace {

const char* scroller_vs =
	"attribute vec3 pos;\n"
	"attribute vec2 uv;\n"
	"uniform mat4 mvp;\n"
	"uniform float time;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	gl_Position = mvp * vec4(pos, 1.0);\n"
	"	vec3 normal = normalize(pos * vec3(1.0, 0.0, 1.0));\n"
	"	float zz = clamp(dot(vec3(0.0, 0.0, 1.0), normal), 0.2, 1.0);\n"
	"	v_col = vec4(zz, zz, zz, 1.0);\n"
	"	v_uv = vec2(uv.x + 0.01 * sin(2.0 * time + 7.0 * uv.y), uv.y);\n"
	"}\n";

const char* scroller_fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	gl_FragColor = texture2D(tex, v_uv) * v_col;\n"
	"}\n";

const int segments = 50;
const int vertcount = segments * 6;

shader_c scrollershader;
texture_c texttex;
GLint time_loc = -1, mvp_loc = -1, tex_loc = -1, pos_loc = -1, uv_loc = -1;

// The segment drawn in slot i: both ends of the arc first, its middle
// last, so the translucent segments go from back to front.
int segment_of_slot(int i)
{
	return (i % 2 == 0) ? i / 2 : segments - 1 - i / 2;
}

float segment_angle(int s)
{
	return (float)(s * 0.07539822668221126 - 0.30000001192092896);
}

// Cosine and sine of the angle where segment s begins, s = 0 to 50: the
// ring's plan never changes, only its height wave.
struct ring_plan_s {
	float c[segments + 1], s[segments + 1];
	ring_plan_s()
	{
		for (int i = 0; i <= segments; i++) {
			c[i] = cosf(segment_angle(i));
			s[i] = sinf(segment_angle(i));
		}
	}
};
const ring_plan_s plan;

// Six vertices (triangles A B C and D B C) of the segment in slot i.
void build_segment(int i, float radius, float time, glm::vec3* pos, glm::vec2* uv)
{
	int s = segment_of_slot(i);
	float a0 = segment_angle(s);
	float a1 = segment_angle(s + 1);
	float h0 = 0.02f * sinf(7.2f * a0 - 4.3f * time) + 0.09f;
	float h1 = 0.02f * sinf(7.2f * a1 - 4.3f * time) + 0.09f;

	glm::vec3 A = radius * glm::vec3(-plan.c[s], h0, plan.s[s]);
	glm::vec3 B = radius * glm::vec3(-plan.c[s], -h0, plan.s[s]);
	glm::vec3 C = radius * glm::vec3(-plan.c[s + 1], h1, plan.s[s + 1]);
	glm::vec3 D = radius * glm::vec3(-plan.c[s + 1], -h1, plan.s[s + 1]);
	float u0 = s / (float)segments;
	float u1 = (s + 1) / (float)segments;

	glm::vec3* p = pos + 6 * i;
	glm::vec2* t = uv + 6 * i;
	p[0] = A; p[1] = B; p[2] = C; p[3] = D; p[4] = B; p[5] = C;
	t[0] = glm::vec2(u0, 0); t[1] = glm::vec2(u0, 1); t[2] = glm::vec2(u1, 0);
	t[3] = glm::vec2(u1, 1); t[4] = glm::vec2(u0, 1); t[5] = glm::vec2(u1, 0);
}

void build_ring(float radius, float time, glm::vec3* pos, glm::vec2* uv)
{
	for (int i = 0; i < segments; i++)
		build_segment(i, radius, time, pos, uv);
}

// The ring's frame: tilted about the phone's depth axis and pushed back.
glm::mat4 ring_mvp()
{
	glm::mat4 mv = rotate_deg(phone_rotation_mv, 53.0f, glm::vec3(0, 0, -1));
	mv = glm::translate(mv, glm::vec3(0.0f, 0.0f, -34.0f));
	return phone_projection * mv;
}

void scrollerinit()
{
	scrollershader.init(scroller_vs, scroller_fs);
	texttex.load("gfx/scroller.png", 0);
	time_loc = scrollershader.uniform("time");
	mvp_loc = scrollershader.uniform("mvp");
	tex_loc = scrollershader.uniform("tex");
	pos_loc = scrollershader.attrib("pos");
	uv_loc = scrollershader.attrib("uv");
}

void drawscroller()
{
	glm::vec3 pos[vertcount];
	glm::vec2 uv[vertcount];

	texttex.textureid = scrollertex;
	glm::mat4 mvp = ring_mvp();
	build_ring(orbitradius, timeval, pos, uv);

	scrollershader.use();
	glUniform1f(time_loc, timeval);
	glUniformMatrix4fv(mvp_loc, 1, GL_FALSE, glm::value_ptr(mvp));
	scrollershader.texture(tex_loc, 0, texttex);
	scrollershader.array(pos_loc, 3, GL_FLOAT, 12, pos);
	scrollershader.array(uv_loc, 2, GL_FLOAT, 8, uv);

	glEnable(GL_BLEND);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glDrawArrays(GL_TRIANGLES, 0, vertcount);
	glDisable(GL_BLEND);

	scrollershader.array(pos_loc, 0, 0, 0, 0);
	scrollershader.array(uv_loc, 0, 0, 0, 0);
}

class effect_c : public demoeffect_c {
public:
	void initgl() { scrollerinit(); }
	void draw()
	{
		// translucent: never hides what is drawn after it
		glDepthMask(GL_FALSE);
		drawscroller();
		glDepthMask(GL_TRUE);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* orbitscroller = &effect;

// The heart for the phone's screen: it swells on every beat, and after
// "gonetextshow" the four words of the gone-text appear under it, one a beat.
#include <math.h>

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
	"uniform float zoom;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = (pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0)) * zoom;\n"
	"  gl_Position = vec4(norpos * 0.3 * vec2(480.0 / 854.0, 1.0), 0.0, 1.0);\n"
	"  v_uv = uv;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float brite;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(tex, v_uv) * vec4(brite, brite, brite, 1.0);\n"
	"}\n";

const int gonewords = 4;

shader_c shader;
spring_c<float> zoomer(1.0f, 1.0f, 0.01f, 0.95f);  // the beat's pulse
texture_c tex;
texture_c texgone;  // four words side by side, each 0.262 of the width
glm::vec2 gone_pos[6 * gonewords];
glm::vec2 gone_uv[6 * gonewords];


// Word k: a 0.4 x 0.35 rectangle at 0.4 k - 0.27 showing its slice of the
// word picture.
void place_words()
{
	for (int i = 0; i < 6 * gonewords; i++) {
		float k = (float)(i / 6);
		glm::vec2 p = unit_quad[i % 6];
		gone_pos[i] = p * glm::vec2(0.4f, 0.35f) + glm::vec2(0.4f * k - 0.27f, 0.4f);
		gone_uv[i] = p * glm::vec2(0.262f, 1.0f) + glm::vec2(0.262f * k + 0.01f, 0.0f);
	}
}

// Words shown: one more per whole beat after the event's beat, at most all.
int word_count(float beat, float showbeat)
{
	int n = (int)(floorf(beat) - showbeat);
	return n < gonewords ? n : gonewords;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		place_words();
		shader.init(vs, fs);
		tex.load("gfx/heart.png", 0);
		texgone.load("gfx/gone.png", 0);
	}

	void step()
	{
		if (beatgrid - floorf(beatgrid) < 0.1f)
			zoomer.pos = 1.1f;
		zoomer.iterate(frameskip);
	}

	void draw()
	{
		shader.use();
		shader.texture("tex", 0, tex);
		shader.array("pos", 2, GL_FLOAT, 8, unit_quad);
		shader.array("uv", 2, GL_FLOAT, 8, unit_quad);
		glEnable(GL_BLEND);
		glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

		glUniform1f(shader.uniform("brite"), (float)(0.9 + sin(timeval * 1.4321) * 0.1));
		glUniform1f(shader.uniform("zoom"), zoomer.pos);
		glDrawArrays(GL_TRIANGLES, 0, 6);

		shader.texture("tex", 0, texgone);
		glUniform1f(shader.uniform("brite"), (float)(0.9 + sin(timeval * 1.2321) * 0.1));
		glUniform1f(shader.uniform("zoom"), 1.0f);
		shader.array("pos", 2, GL_FLOAT, 8, gone_pos);
		shader.array("uv", 2, GL_FLOAT, 8, gone_uv);
		sync_c gonetextshow("gonetextshow", 59, 0);
		int gonetextcount = word_count(beatgrid, gonetextshow.beatnum());
		if (gonetextcount > 0)
			glDrawArrays(GL_TRIANGLES, 0, gonetextcount * 6);

		glDisable(GL_BLEND);
		shader.array("pos", 0, 0, 0, 0);
		shader.array("uv", 0, 0, 0, 0);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* heart = &effect;

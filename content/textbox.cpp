// The closing text: one line of 48 glyph cells from the character sheet,
// drawn as a strip across the lower part of the finale's frame.
#include <math.h>
#include <string.h>
#include <string>

#include "charline.h"
#include "effects.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/util.h"

namespace {

const int scrollerlen = charline_cells;
const wchar_t blank = charline_pause;

const std::wstring text = pause(51) +
	L"Hello old friends, it has been a while." + pause(11) +
	L"Times have surely gone by, but here we are once again." + pause(5) +
	L"QVD is back." + pause(5) +
	L"Atleast shortly between the maeaehhs." + pause(6) +
	L"This time with some old routines from 2013 and beyond..." + pause(6) +
	L"We hope you have enjoyed the show." + pause(5) +
	L"We'll see you again." + pause(1) +
	L"In another time, in another space." + pause(276);

const char* vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 48.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = uv;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform float time;\n"
	"uniform sampler2D tex;\n"
	"varying vec2 v_uv;\n"
	"const float PI = 3.14159265358979323846264;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(tex, v_uv).xxxw * vec4(0.7, 1.0, 0.6, 1.0) * 1.1;\n"
	"}\n";

shader_c shader;
texture_c tex;
texture_c tex2;  // never loaded: unit 1 stays empty
int scrollerpos = 0;

// Spaces are drawn here: the sheet's space glyph frames the words.
bool skipped(wchar_t c)
{
	return c == blank;
}

void scroll(float& ofs, int& pos, int steps)
{
	scroll_line(ofs, pos, steps, 0.24, (int)text.size());
}

// Cells 0.14 of the screen high, centred at 0.2 from the bottom and mirrored
// in y, so the glyphs stand upright on the screen.
void place_cell(int i, int k, float randmul, float ofs, glm::vec2* p, glm::vec2* t)
{
	glyph_cell(i, k, randmul, ofs, glm::vec2(0.5f, -0.07f), 0.2f, p, t);
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/chargen.png", 0);
	}

	void draw()
	{
		static float scrollofs = 0.0f;
		scroll(scrollofs, scrollerpos, frameskip);

		glm::vec2 tausta[6 * scrollerlen];
		glm::vec2 uv[6 * scrollerlen];
		memset(tausta, 0, sizeof(tausta));
		memset(uv, 0, sizeof(uv));

		for (int i = 0; i < scrollerlen; i++) {
			wchar_t c = text[scrollerpos + i];
			int k = glyph_index(c);
			if (skipped(c) || k < 0)
				continue;

			static spring_c<float> randomizer(0.0f, 0.001f, 0.95f);
			static spring_c<float> randomizer2(0.0f, 0.001f, 0.9f);
			kick_cell(randomizer);

			if (util::rnd() > 0.999f)
				randomizer2.pos = 1.0f;
			if (util::rnd() > 0.99f)
				randomizer2.pos += 0.1f;
			randomizer2.iterate(frameskip);

			float randmul = (0.5f * sinf(i + timeval) + 0.5f) * randomizer.pos +
				(0.3f * sinf((20.0f * randomizer2.pos + i) * 0.7f) + 0.3f) * randomizer2.pos;
			place_cell(i, k, randmul, scrollofs, &tausta[6 * i], &uv[6 * i]);
		}

		draw_line(shader, tex, tex2, tausta, uv, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* textbox = &effect;

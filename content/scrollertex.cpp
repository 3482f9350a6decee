// The character scroller: one line of 48 glyph cells cut from the character
// sheet, filling whatever render target is bound. The orbit scroller wraps
// that target's texture around the phone.
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
	L"ASDF QWERTY  ZXCV HJKL POIUY  MNBV GFDSA TREWQ  LKJH k ASDFG  QWER ZXCVB NMLK  JHGF DSA POIUYT "
	L"Times have surely gone by, and here we are once again.    QVD is back! "
	L"With a leftovers demo, with parts from 2014 and beyond.  We hope you enjoy the show!" +
	pause(51);

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
	"  gl_FragColor = texture2D(tex, v_uv).zxyw * vec4(1.7, 1.7, 0.9, 1.0);\n"
	"}\n";

shader_c shader;
texture_c tex;
texture_c tex2;  // never loaded: unit 1 stays empty
int scrollerpos = 0;

bool skipped(wchar_t c)
{
	return c == blank || c == L' ';
}

void scroll(float& ofs, int& pos, int steps)
{
	scroll_line(ofs, pos, steps, 0.23, (int)text.size());
}

// Cells as tall as the target; the glyphs land upside down in it.
void place_cell(int i, int k, float randmul, float ofs, glm::vec2* p, glm::vec2* t)
{
	glyph_cell(i, k, randmul, ofs, glm::vec2(0.5f, 0.5f), 0.5f, p, t);
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
			kick_cell(randomizer);

			float randmul = (0.5f * sinf(i + timeval) + 0.5f) * randomizer.pos;
			place_cell(i, k, randmul, scrollofs, &tausta[6 * i], &uv[6 * i]);
		}

		draw_line(shader, tex, tex2, tausta, uv, true);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* scrollertexgen = &effect;

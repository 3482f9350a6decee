// The character scroller: one line of 48 glyph cells cut from the character
// sheet, filling whatever render target is bound. The orbit scroller wraps
// that target's texture around the phone.
#include <math.h>
#include <string>

#include "charline.h"
#include "effects.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/util.h"

namespace {

const std::wstring text = pause(51) +
	L"ASDF QWERTY  ZXCV HJKL POIUY  MNBV GFDSA TREWQ  LKJH k ASDFG  QWER ZXCVB NMLK  JHGF DSA POIUYT "
	L"Times have surely gone by, and here we are once again.    QVD is back! "
	L"With a leftovers demo, with parts from 2014 and beyond.  We hope you enjoy the show!" +
	pause(51);

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
float scrollofs = 0.0f;
charline_s line;  // this frame's cells

void scroll(float& ofs, int& pos, int steps)
{
	scroll_line(ofs, pos, steps, 0.23, (int)text.size());
}

float grow(int i)
{
	static spring_c<float> randomizer(0.0f, 0.001f, 0.95f);
	kick_cell(randomizer);
	return (0.5f * sinf(i + timeval) + 0.5f) * randomizer.pos;
}

// Spaces are skipped; cells as tall as the target, the glyphs upside down
// in it; the target is cleared first.
const linestyle_s style = { false, grow, glm::vec2(0.5f, 0.5f), 0.5f, true };

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(charline_vs, fs);
		tex.load("gfx/chargen.png", 0);
	}

	void step()
	{
		scroll(scrollofs, scrollerpos, frameskip);
		layout_charline(style, text, scrollerpos, scrollofs, &line);
	}

	void draw() { draw_line(shader, tex, tex2, line.pos, line.uv, style.clear); }
};

effect_c effect;

}  // namespace

demoeffect_c* scrollertexgen = &effect;

// The closing text: one line of 48 glyph cells from the character sheet,
// drawn as a strip across the lower part of the finale's frame.
#include <math.h>
#include <string>

#include "charline.h"
#include "effects.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/util.h"

namespace {

const std::wstring text = pause(51) +
	L"Hello old friends, it has been a while." + pause(11) +
	L"Times have surely gone by, but here we are once again." + pause(5) +
	L"QVD is back." + pause(5) +
	L"Atleast shortly between the maeaehhs." + pause(6) +
	L"This time with some old routines from 2013 and beyond..." + pause(6) +
	L"We hope you have enjoyed the show." + pause(5) +
	L"We'll see you again." + pause(1) +
	L"In another time, in another space." + pause(276);

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
float scrollofs = 0.0f;
charline_s line;  // this frame's cells

void scroll(float& ofs, int& pos, int steps)
{
	scroll_line(ofs, pos, steps, 0.24, (int)text.size());
}

// A second spring that kicks more rarely adds a wobble of its own.
float grow(int i)
{
	static spring_c<float> randomizer(0.0f, 0.001f, 0.95f);
	static spring_c<float> randomizer2(0.0f, 0.001f, 0.9f);
	kick_cell(randomizer);

	if (util::rnd() > 0.999f)
		randomizer2.pos = 1.0f;
	if (util::rnd() > 0.99f)
		randomizer2.pos += 0.1f;
	randomizer2.iterate(frameskip);

	return (0.5f * sinf(i + timeval) + 0.5f) * randomizer.pos +
		(0.3f * sinf((20.0f * randomizer2.pos + i) * 0.7f) + 0.3f) * randomizer2.pos;
}

// Spaces are drawn: the sheet's space glyph frames the words. Cells 0.14
// of the screen high, centred at 0.2 from the bottom and mirrored in y, so
// the glyphs stand upright on the screen, over the frame drawn so far.
const linestyle_s style = { true, grow, glm::vec2(0.5f, -0.07f), 0.2f, false };

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

demoeffect_c* textbox = &effect;

// The closing text: one line of 48 glyph cells from the character sheet,
// drawn as a strip across the lower part of the finale's frame.
#include <math.h>
#include <string.h>
#include <wchar.h>
#include <string>

#include "effects.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/util.h"

namespace {

const int scrollerlen = 48;
const wchar_t blank = L'\u00a8';  // pause marker: its cell is never drawn

// Glyph order of the sheet; duplicates resolve to their first occurrence.
const wchar_t font[] =
	L"@abcdefghijklmnopqrstuvwxyz[$]^^"
	L" !\"#$%&'()*+,-./0123456789:;<=>?"
	L"-ABCDEFGHIJKLMNOPQRSTUVWXYZ+ |  \u00a8";

std::wstring pause(int cells)
{
	return std::wstring(cells, blank);
}

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

// Index of the first occurrence of c in the sheet, -1 if it has no glyph.
int glyph_index(wchar_t c)
{
	if (c == 0)
		return -1;
	const wchar_t* p = wcschr(font, c);
	return p ? (int)(p - font) : -1;
}

// Spaces are drawn here: the sheet's space glyph frames the words.
bool skipped(wchar_t c)
{
	return c == blank;
}

// Moves the line left by the steps due; a whole cell moved brings in the
// next character, and the last full window wraps back to the start.
void scroll(float& ofs, int& pos, int steps)
{
	ofs = (float)(ofs + steps * 0.24);
	while (ofs > 1.0f) {
		ofs -= 1.0f;
		pos += 1;
		if (pos > (int)text.size() - scrollerlen)
			pos = 0;
	}
}

// Six vertices of cell i showing glyph k, grown by randmul about its centre
// and mirrored in y, so the glyphs stand upright on the screen.
void place_cell(int i, int k, float randmul, float ofs, glm::vec2* p, glm::vec2* t)
{
	static const glm::vec2 corners[6] = {
		glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(-1, 1),
		glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)};
	glm::vec2 centre(i + (0.5f - ofs), 0.2f);
	for (int v = 0; v < 6; v++)
		p[v] = corners[v] * (1.0f + randmul) * glm::vec2(0.5f, -0.07f) + centre;

	float x = (float)(k % 32);
	float y = (float)(3 - k / 32);
	glm::vec2 t1((x + 0.01f) * 0.03125f, (y + 0.96f) * 0.25f);
	glm::vec2 t2((x + 0.96f) * 0.03125f, (y + 0.96f) * 0.25f);
	glm::vec2 t3((x + 0.01f) * 0.03125f, (y + 0.04f) * 0.25f);
	glm::vec2 t4((x + 0.96f) * 0.03125f, (y + 0.04f) * 0.25f);
	t[0] = t1;
	t[1] = t2;
	t[2] = t3;
	t[3] = t2;
	t[4] = t4;
	t[5] = t3;
}

class effect_c : public demoeffect_c {
public:
	void init() {}

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
			if (util::rnd() > 0.9f && fracf(beatgrid) < 0.1f)
				randomizer.pos = 1.0f;
			if (util::rnd() > 0.999f)
				randomizer.pos += 0.1f;
			randomizer.iterate(frameskip);

			if (util::rnd() > 0.999f)
				randomizer2.pos = 1.0f;
			if (util::rnd() > 0.99f)
				randomizer2.pos += 0.1f;
			randomizer2.iterate(frameskip);

			float randmul = (0.5f * sinf(i + timeval) + 0.5f) * randomizer.pos +
				(0.3f * sinf((20.0f * randomizer2.pos + i) * 0.7f) + 0.3f) * randomizer2.pos;
			place_cell(i, k, randmul, scrollofs, &tausta[6 * i], &uv[6 * i]);
		}

		shader.use();
		glUniform1f(shader.uniform("time"), timeval);
		shader.texture("tex", 0, tex);
		shader.texture("tex2", 1, tex2);
		shader.array("pos", 2, GL_FLOAT, 8, tausta);
		shader.array("uv", 2, GL_FLOAT, 8, uv);
		glDrawArrays(GL_TRIANGLES, 0, 6 * scrollerlen);
		shader.array("pos", 0, 0, 0, 0);
		shader.array("uv", 0, 0, 0, 0);
	}

	void quit() {}
};

effect_c effect;

}  // namespace

demoeffect_c* textbox = &effect;

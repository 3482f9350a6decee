// One line of 48 glyph cells cut from the character sheet "gfx/chargen.png"
// (32 columns by 4 rows). Shared by the scroller and the closing text, which
// differ only in speed, in what they skip and in where the line lands.
#pragma once

#include <wchar.h>
#include <string>

#include <glm/glm.hpp>

#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/spring.h"
#include "../src/texture.h"
#include "../src/util.h"

const int charline_cells = 48;
const wchar_t charline_pause = L'\u00a8';  // pause marker: its cell is never drawn

// Glyph order of the sheet; duplicates resolve to their first occurrence.
const wchar_t charline_font[] =
	L"@abcdefghijklmnopqrstuvwxyz[$]^^"
	L" !\"#$%&'()*+,-./0123456789:;<=>?"
	L"-ABCDEFGHIJKLMNOPQRSTUVWXYZ+ |  \u00a8";

// Cells are one unit wide: x from 0 to 48 and y from 0 to 1 span the target.
const char* const charline_vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 48.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = uv;\n"
	"}\n";

// Index of the first occurrence of c in the sheet, -1 if it has no glyph.
inline int glyph_index(wchar_t c)
{
	if (c == 0)
		return -1;
	const wchar_t* p = wcschr(charline_font, c);
	return p ? (int)(p - charline_font) : -1;
}

inline std::wstring pause(int cells)
{
	return std::wstring(cells, charline_pause);
}

// Moves the line left by the logic steps due; a whole cell moved brings in
// the next character, and the last full window wraps back to the start.
inline void scroll_line(float& ofs, int& pos, int steps, double speed, int textlen)
{
	ofs = (float)(ofs + steps * speed);
	while (ofs > 1.0f) {
		ofs -= 1.0f;
		pos += 1;
		if (pos > textlen - charline_cells)
			pos = 0;
	}
}

// Six vertices of cell i showing glyph k, grown by randmul about its centre
// (i + 0.5 - ofs, y0), with the cell's half size given by scale. Corner
// (-1, -1) takes the glyph's top edge.
inline void glyph_cell(int i, int k, float randmul, float ofs, glm::vec2 scale, float y0,
	glm::vec2* p, glm::vec2* t)
{
	static const glm::vec2 corners[6] = {
		glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(-1, 1),
		glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)};
	glm::vec2 centre(i + (0.5f - ofs), y0);
	for (int v = 0; v < 6; v++)
		p[v] = corners[v] * (1.0f + randmul) * scale + centre;

	// Textures are bottom row first, so grid row k / 32 from the top is 3 - k / 32.
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

// The size kick of a drawn cell: now and then in the first tenth of a beat
// the cell jumps to double size, rarely it grows a little; stepped per cell.
inline void kick_cell(spring_c<float>& randomizer)
{
	if (util::rnd() > 0.9f && fracf(beatgrid) < 0.1f)
		randomizer.pos = 1.0f;
	if (util::rnd() > 0.999f)
		randomizer.pos += 0.1f;
	randomizer.iterate(frameskip);
}

// Draws the 48 cells in one call; tex2 is never loaded, so unit 1 is left
// active with an empty texture, as both lines always did.
inline void draw_line(shader_c& shader, texture_c& tex, texture_c& tex2,
	const glm::vec2* pos, const glm::vec2* uv, bool clear)
{
	shader.use();
	glUniform1f(shader.uniform("time"), timeval);
	shader.texture("tex", 0, tex);
	shader.texture("tex2", 1, tex2);
	shader.array("pos", 2, GL_FLOAT, 8, pos);
	shader.array("uv", 2, GL_FLOAT, 8, uv);
	if (clear)
		glClear(GL_COLOR_BUFFER_BIT);
	glDrawArrays(GL_TRIANGLES, 0, 6 * charline_cells);
	shader.array("pos", 0, 0, 0, 0);
	shader.array("uv", 0, 0, 0, 0);
}

// What sets one line apart from the other, besides its text and colours.
struct linestyle_s {
	bool spaces;           // draws the space glyph
	float (*grow)(int i);  // how far drawn cell i grows; steps the line's springs
	glm::vec2 scale;       // a cell's half size, negative y to mirror it
	float y0;              // height of the cells' centres
	bool clear;            // clears the target first
};

// The corners of a line's 48 cells: laid out by the step, drawn by draw.
struct charline_s {
	glm::vec2 pos[6 * charline_cells];
	glm::vec2 uv[6 * charline_cells];
};

// Lays out the 48 cells from text[pos] at the scroll offset ofs. A pause, a
// skipped space or a character without a glyph leaves its cell at zero (two
// empty triangles) and steps no spring.
inline void layout_charline(const linestyle_s& style, const std::wstring& text, int pos, float ofs,
	charline_s* line)
{
	for (int v = 0; v < 6 * charline_cells; v++)
		line->pos[v] = line->uv[v] = glm::vec2(0.0f);

	for (int i = 0; i < charline_cells; i++) {
		wchar_t c = text[pos + i];
		int k = glyph_index(c);
		if (c == charline_pause || (c == L' ' && !style.spaces) || k < 0)
			continue;
		float randmul = style.grow(i);
		glyph_cell(i, k, randmul, ofs, style.scale, style.y0, &line->pos[6 * i], &line->uv[6 * i]);
	}
}

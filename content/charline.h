// One line of 48 glyph cells cut from the character sheet "gfx/chargen.png"
// (32 columns by 4 rows). Shared by the scroller and the closing text, which
// differ only in speed, in what they skip and in where the line lands.
#pragma once

#include <wchar.h>
#include <string>

#include <glm/glm.hpp>

const int charline_cells = 48;
const wchar_t charline_pause = L'\u00a8';  // pause marker: its cell is never drawn

// Glyph order of the sheet; duplicates resolve to their first occurrence.
const wchar_t charline_font[] =
	L"@abcdefghijklmnopqrstuvwxyz[$]^^"
	L" !\"#$%&'()*+,-./0123456789:;<=>?"
	L"-ABCDEFGHIJKLMNOPQRSTUVWXYZ+ |  \u00a8";

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

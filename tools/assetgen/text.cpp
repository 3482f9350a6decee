#include "text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

const char* font_files[] = {
	"/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
	"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
	"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

FT_Library library;
FT_Face faces[3];

FT_Face face(font_e which) {
	if (!library && FT_Init_FreeType(&library)) {
		fprintf(stderr, "assetgen: freetype init failed\n");
		exit(1);
	}
	if (!faces[which] && FT_New_Face(library, font_files[which], 0, &faces[which])) {
		fprintf(stderr, "assetgen: cannot open font %s (install fonts-dejavu)\n", font_files[which]);
		exit(1);
	}
	return faces[which];
}

// Decodes UTF-8 (the generator's texts use Latin-1 range only).
std::vector<uint32_t> codes(const std::string& s) {
	std::vector<uint32_t> out;
	for (size_t i = 0; i < s.size(); i++) {
		unsigned char c = s[i];
		if (c < 0x80) {
			out.push_back(c);
		} else if ((c & 0xe0) == 0xc0 && i + 1 < s.size()) {
			out.push_back(((c & 0x1f) << 6) | (s[i + 1] & 0x3f));
			i++;
		}
	}
	return out;
}

// Loads and renders one glyph with a pen at fractional position.
FT_GlyphSlot render(font_e font, uint32_t code, float size, float xscale, float subx) {
	FT_Face f = face(font);
	FT_Set_Char_Size(f, 0, (FT_F26Dot6)std::lround(size * 64.0f), 72, 72);
	FT_Matrix m = {(FT_Fixed)std::lround(xscale * 65536.0f), 0, 0, 0x10000};
	FT_Vector d = {(FT_Pos)std::lround(subx * 64.0f), 0};
	FT_Set_Transform(f, &m, &d);
	if (FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING)) return nullptr;
	return f->glyph;
}

}  // namespace

float text_draw(field_c& fld, font_e font, const std::string& txt, float x, float baseline,
	float size, float xscale) {
	float pen = x;
	for (uint32_t code : codes(txt)) {
		float ip = std::floor(pen);
		FT_GlyphSlot g = render(font, code, size, xscale, pen - ip);
		if (!g) continue;
		int ox = (int)ip + g->bitmap_left;
		int oy = (int)std::lround(baseline) - g->bitmap_top;
		for (unsigned r = 0; r < g->bitmap.rows; r++)
			for (unsigned c = 0; c < g->bitmap.width; c++) {
				int px = ox + (int)c, py = oy + (int)r;
				if (px < 0 || py < 0 || px >= fld.w || py >= fld.h) continue;
				float a = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
				float& dst = fld.at(px, py);
				dst = dst + a - dst * a;
			}
		pen += g->advance.x / 64.0f;
	}
	return pen - x;
}

float text_width(font_e font, const std::string& txt, float size, float xscale) {
	float pen = 0.0f;
	for (uint32_t code : codes(txt)) {
		FT_GlyphSlot g = render(font, code, size, xscale, 0.0f);
		if (g) pen += g->advance.x / 64.0f;
	}
	return pen;
}

void text_center(field_c& f, font_e font, const std::string& txt, float cx, float baseline,
	float size, float xscale) {
	text_draw(f, font, txt, cx - text_width(font, txt, size, xscale) * 0.5f, baseline, size, xscale);
}

glyph_s text_glyph(font_e font, uint32_t code, float size, float xscale) {
	glyph_s out;
	out.left = out.top = 0;
	out.advance = 0.0f;
	FT_GlyphSlot g = render(font, code, size, xscale, 0.0f);
	if (!g) return out;
	out.bmp = field_c(g->bitmap.width, g->bitmap.rows);
	for (unsigned r = 0; r < g->bitmap.rows; r++)
		for (unsigned c = 0; c < g->bitmap.width; c++)
			out.bmp.at(c, r) = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
	out.left = g->bitmap_left;
	out.top = g->bitmap_top;
	out.advance = g->advance.x / 64.0f;
	return out;
}

// Lettering with FreeType from the Debian DejaVu fonts.
#pragma once

#include <string>
#include "common.h"

enum font_e { FONT_BOLD_CONDENSED, FONT_BOLD, FONT_BOOK };

// Renders text as coverage (0..1) into a field. Sizes are the em size in
// pixels; xscale squeezes or widens the face horizontally.
float text_draw(field_c& f, font_e font, const std::string& txt, float x, float baseline,
	float size, float xscale = 1.0f);
float text_width(font_e font, const std::string& txt, float size, float xscale = 1.0f);
// Draws centred on x.
void text_center(field_c& f, font_e font, const std::string& txt, float cx, float baseline,
	float size, float xscale = 1.0f);
// One glyph as a coverage bitmap; left and top place it relative to the pen
// position on the baseline (y grows down).
struct glyph_s {
	field_c bmp;
	int left, top;
	float advance;
};
glyph_s text_glyph(font_e font, uint32_t code, float size, float xscale = 1.0f);

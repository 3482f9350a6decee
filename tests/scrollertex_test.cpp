// The character scroller: glyph lookup, its text, the scroll step and the
// cells it draws into the scroller target.
#include "../content/scrollertex.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(ScrollerGlyphs, FirstOccurrenceInTheSheet)
{
	EXPECT_EQ(glyph_index(L'$'), 28);
	EXPECT_EQ(glyph_index(L'-'), 45);
	EXPECT_EQ(glyph_index(L'+'), 43);
	EXPECT_EQ(glyph_index(L' '), 32);
	EXPECT_EQ(glyph_index(L'@'), 0);
	EXPECT_EQ(glyph_index(L'?'), 63);
	EXPECT_EQ(glyph_index(L'A'), 65);
	EXPECT_EQ(glyph_index(L'\u00a8'), 96);
	EXPECT_EQ(glyph_index(L'~'), -1);  // no glyph: the cell is skipped
	EXPECT_EQ(glyph_index(L'\0'), -1);
}

TEST(ScrollerText, LengthPausesAndCharacters)
{
	ASSERT_EQ(text.size(), 352u);
	for (size_t i = 0; i < text.size(); i++)
		EXPECT_GE(glyph_index(text[i]), 0) << "position " << i;
	EXPECT_EQ(text.substr(0, 51), std::wstring(51, L'\u00a8'));
	EXPECT_EQ(text.substr(301), std::wstring(51, L'\u00a8'));
	EXPECT_EQ(text.find(L"k"), 104u);  // the one lower-case key in the noise
	EXPECT_EQ(text.find(L"Times have surely gone by, and here we are once again.    QVD is back! "
		L"With a leftovers demo, with parts from 2014 and beyond.  We hope you enjoy the show!"), 146u);
}

TEST(ScrollerScroll, AdvancesAndWrapsAfterTheLastWindow)
{
	float ofs = 0.0f;
	int pos = 0;
	for (int i = 0; i < 5; i++)
		scroll(ofs, pos, 1);
	EXPECT_NEAR(ofs, 0.15f, 1e-5f);
	EXPECT_EQ(pos, 1);
	scroll(ofs, pos, 10);  // a long frame moves several cells at once
	EXPECT_EQ(pos, 3);

	ofs = 1.0f;  // exactly one cell is not yet more than one
	scroll(ofs, pos, 0);
	EXPECT_EQ(ofs, 1.0f);
	EXPECT_EQ(pos, 3);

	ofs = 0.0f;
	pos = 0;
	int highest = 0;
	for (int i = 0; i < 2000; i++) {
		scroll(ofs, pos, 1);
		highest = pos > highest ? pos : highest;
	}
	EXPECT_EQ(highest, 304);
	ofs = 0.9f;
	pos = 304;
	scroll(ofs, pos, 1);
	EXPECT_EQ(pos, 0);
}

// Sheet: red = glyph index, blue 140 in the top half of each cell, 0 below.
uint32_t sheet(int x, int y)
{
	return rgba((y / 16) * 32 + x / 16, 200, (y % 16) < 8 ? 140 : 0);
}

TEST(ScrollerDraw, GlyphsUpsideDownSpacesAndPausesSkipped)
{
	pictures_dir("scratch-scroller");
	pictures_png("gfx/chargen.png", 512, 64, sheet);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	fbo_c target(1024, 128, FBO_CLAMP);

	frameskip = 0;
	timeval = 0.0f;
	beatgrid = 0.5f;  // away from the beat: no size kicks
	scrollerpos = 146;  // "Times have surely ..."
	target.bind();
	glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
	effect.run();
	glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

	auto cell_x = [](int i) { return (int)((i + 0.5f) * 1024.0f / 48.0f); };
	// "T" is glyph 84: the sheet's red comes back as green, its blue as red,
	// and the glyph's top half at the bottom.
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(0), 32), 238, 143, 180));
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(0), 96), 0, 143, 180));
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(1), 32), 238, 15, 180));  // "i"
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(5), 32), 51, 51, 51));     // the space is skipped

	scrollerpos = 0;  // nothing but pauses
	effect.run();
	for (int i = 0; i < 48; i += 7)
		EXPECT_TRUE(rgb_near(pixel_at(cell_x(i), 64), 0, 0, 0)) << "cell " << i;
	target.unbind();
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

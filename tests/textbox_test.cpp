// The closing text: its text, its scroll step and the upright strip it
// draws over the finale.
#include "../content/textbox.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(TextboxText, LengthPausesAndCharacters)
{
	ASSERT_EQ(text.size(), 652u);
	for (size_t i = 0; i < text.size(); i++)
		EXPECT_GE(glyph_index(text[i]), 0) << "position " << i;
	EXPECT_EQ(text.substr(0, 51), std::wstring(51, L'\u00a8'));
	EXPECT_EQ(text.substr(652 - 276), std::wstring(276, L'\u00a8'));
	EXPECT_EQ(text.find(L"Hello old friends, it has been a while."), 51u);
	EXPECT_EQ(text.find(L"Times have surely gone by, but here we are once again."), 101u);
	EXPECT_EQ(text.find(L"Atleast shortly between the maeaehhs."), 177u);
	EXPECT_EQ(text.find(L"We'll see you again.\u00a8In another time, in another space."), 321u);
}

TEST(TextboxScroll, FasterStepAndWrapAt604)
{
	float ofs = 0.0f;
	int pos = 0;
	for (int i = 0; i < 5; i++)
		scroll(ofs, pos, 1);
	EXPECT_NEAR(ofs, 0.2f, 1e-5f);
	EXPECT_EQ(pos, 1);

	ofs = 0.9f;
	pos = 603;
	scroll(ofs, pos, 1);
	EXPECT_EQ(pos, 604);
	ofs = 0.9f;
	scroll(ofs, pos, 1);
	EXPECT_EQ(pos, 0);
}

// Sheet: red = half the glyph index, plus 128 in the top half of each cell.
uint32_t sheet(int x, int y)
{
	int k = (y / 16) * 32 + x / 16;
	return rgba(k / 2 + ((y % 16) < 8 ? 128 : 0), 0, 0);
}

TEST(TextboxDraw, UprightGlyphsSpacesDrawnPausesNot)
{
	pictures_dir("scratch-scroller");
	pictures_png("gfx/chargen.png", 512, 64, sheet);
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);

	frameskip = 0;
	timeval = 0.0f;
	beatgrid = 0.5f;
	scrollerpos = 51;  // "Hello old friends, it has been a while." and a pause
	glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
	glClear(GL_COLOR_BUFFER_BIT);
	glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
	effect.run();

	auto cell_x = [](int i) { return (int)((i + 0.5f) * 854.0f / 48.0f); };
	int top = 115, bottom = 77;  // the strip spans rows 62 to 130 of 480
	// "H" is glyph 72; red shows as (0.77, 1.1, 0.66) of the texel.
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(0), top), 126, 180, 108));
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(0), bottom), 28, 40, 24));
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(5), bottom), 12, 18, 11));  // space, glyph 32
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(44), top), 0, 0, 255));     // pause: untouched
	EXPECT_TRUE(rgb_near(pixel_at(cell_x(0), 200), 0, 0, 255));      // above the strip
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

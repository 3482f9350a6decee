// The full-screen quad of whatever texture texturetesttex names.
#include "../content/texturetest.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(TexturetestDraw, ShowsTheNamedTextureUpright)
{
	pictures_dir("scratch-pictures");
	pictures_png("gfx/quadrants.png", 2, 2, [](int x, int y) {
		static const uint32_t c[4] = {
			rgba(255, 0, 0), rgba(0, 255, 0), rgba(0, 0, 255), rgba(255, 255, 255)};
		return c[y * 2 + x];
	});
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	texture_c pic = texture_c();
	pic.load("gfx/quadrants.png", TEX_NEAREST);

	texturetesttex = pic.textureid;
	effect.draw();
	EXPECT_TRUE(rgb_near(pixel_at(100, 400), 255, 0, 0));  // the picture's top left
	EXPECT_TRUE(rgb_near(pixel_at(750, 400), 0, 255, 0));
	EXPECT_TRUE(rgb_near(pixel_at(100, 50), 0, 0, 255));
	EXPECT_TRUE(rgb_near(pixel_at(750, 50), 255, 255, 255));

	// Texture 0 binds nothing: sampling it gives black.
	texturetesttex = 0;
	effect.draw();
	EXPECT_TRUE(rgb_near(pixel_at(100, 400), 0, 0, 0));
	GLint bound = -1;
	glActiveTexture(GL_TEXTURE0);
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
	EXPECT_EQ(bound, 0);
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

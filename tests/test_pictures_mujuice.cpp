// The two-picture effect of the phone's screen.
#include "../content/mujuice.cpp"

#include <gtest/gtest.h>

#include "gltest.h"
#include "test_pictures_files.h"

namespace {

TEST(MujuiceDraw, MidGreyStaysMidGrey)
{
	pictures_dir("scratch-pictures");
	pictures_flat("gfx/mujuice.jpg", 8, 8, rgba(128, 128, 128));
	pictures_flat("gfx/mujuice2.jpg", 8, 8, rgba(128, 128, 128));
	ASSERT_NO_FATAL_FAILURE(gltest_open());
	effect.initgl();
	EXPECT_EQ(gl_error(), 0u);
	timeval = 3.7f;
	effect.draw();
	for (int y = 10; y < 480; y += 47)
		EXPECT_TRUE(rgb_near(pixel_at(300, y), 129, 129, 129, 2)) << "row " << y;
	EXPECT_EQ(gl_error(), 0u);
}

}  // namespace

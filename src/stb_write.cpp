// The PNG writer, kept private to this file so that programs linking the
// engine may carry their own copy of the header's implementation.
#include "stb_write.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

bool write_png_rgb_flipped(const char* path, int w, int h, const unsigned char* pixels)
{
	stbi_flip_vertically_on_write(1);
	return stbi_write_png(path, w, h, 3, pixels, w * 3) != 0;
}

// The PNG writer, kept private to this file so that programs linking the
// engine may carry their own copy of the header's implementation.
#include "stb_write.h"

#include "files.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

static void to_file(void* f, void* data, int size)
{
	fwrite(data, 1, (size_t)size, (FILE*)f);
}

bool write_png_rgb_flipped(const char* path, int w, int h, const unsigned char* pixels)
{
	FILE* f = open_regular(path, "wb");
	if (!f)
		return false;
	stbi_flip_vertically_on_write(1);
	bool ok = stbi_write_png_to_func(to_file, f, w, h, 3, pixels, w * 3) != 0 && !ferror(f);
	return fclose(f) == 0 && ok;
}

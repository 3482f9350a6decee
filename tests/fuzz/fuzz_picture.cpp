// Picture decoding as the texture loader does it, up to the GL upload: a
// picture either decodes whole into bottom-row-first rows of its own size
// or is refused with a reason.
#include <stdlib.h>

#include "fuzz_input.h"
#include "picture.h"
#include "texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string path = fuzz_file(data, size, ".png");
	// The loader stops the process on a picture it refuses; ask first.
	if (!check_picture(path.c_str()))
		return 0;
	for (int channels : { 3, 4 }) {
		FILE* f = fopen(path.c_str(), "rb");
		picture_s p;
		std::string why;
		if (decode_picture(f, channels, &p, &why)) {
			if (p.w <= 0 || p.h <= 0 || p.w > max_picture_side || p.h > max_picture_side)
				abort();
			volatile unsigned char last = p.pixels[(size_t)p.w * p.h * channels - 1];
			(void)last;
			free_picture(&p);
		} else if (why.empty()) {
			abort();
		}
		fclose(f);
	}
	return 0;
}

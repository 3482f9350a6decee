// Picture decoding through the texture loader, up to the GL upload: a
// picture either decodes into a bottom-row-first surface of its own size
// or is refused with a message.
#include <SDL/SDL_image.h>
#include <stdlib.h>

#include "fuzz_input.h"
#include "texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string path = fuzz_file(data, size, ".png");
	// The loader stops the process on a picture it refuses; ask first.
	if (!check_picture(path.c_str()))
		return 0;
	SDL_Surface* image = IMG_Load(path.c_str());
	if (!image)
		return 0;
	bool fits = image->w <= 16384 && image->h <= 16384;
	SDL_FreeSurface(image);
	if (!fits)
		return 0;
	for (GLint format : { GL_RGB, GL_RGBA }) {
		SDL_Surface* s = texture_c::load_image(path.c_str(), format);
		if (!s || s->w <= 0 || s->h <= 0)
			abort();
		SDL_FreeSurface(s);
	}
	return 0;
}

// Textures from image files or SDL surfaces, with an optional sub-texture
// atlas in "<image>.txt".
#pragma once

#include <SDL/SDL.h>
#include <glm/glm.hpp>

#include "gl.h"

// Texture flags
const int TEX_RGB = 1;      // upload as RGB, else RGBA
const int TEX_CUBE = 2;     // cube map from the six images named in the atlas
const int TEX_NEAREST = 4;  // nearest filtering, else linear
const int TEX_REPEAT = 8;   // repeat wrapping, else clamp to edge

// False, after a message naming the file, for a PNG or JPEG larger than a
// texture may be, or a JPEG file cut short. Reads the file, not decoding it.
bool check_picture(const char* fn);

class texture_c {
public:
	int subtexnum;
	char** subtexdata;
	int flags;
	GLuint textureid;

	void load(const char* fn, int texflags);
	static SDL_Surface* load_image(const char* fn, GLint internalformat);
	void fromsurface(SDL_Surface* surf);
	void fromsurface(SDL_Surface* surf, int texflags);
	void fromsurface_subtex(SDL_Surface* surf);
	void bind();
	void checksubtex(const char* fn);
	glm::vec4 getsubtex(int num);
	glm::vec4 getsubtex(const char* name);
};

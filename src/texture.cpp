#include "texture.h"

#include <SDL/SDL_image.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

static const int max_atlas_reads = 1000;

static void set_params(GLenum target, int texflags, bool wrap)
{
	GLint filter = (texflags & TEX_NEAREST) ? GL_NEAREST : GL_LINEAR;
	glTexParameteri(target, GL_TEXTURE_MAG_FILTER, filter);
	glTexParameteri(target, GL_TEXTURE_MIN_FILTER, filter);
	if (wrap) {
		GLint mode = (texflags & TEX_REPEAT) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
		glTexParameteri(target, GL_TEXTURE_WRAP_S, mode);
		glTexParameteri(target, GL_TEXTURE_WRAP_T, mode);
	}
}

// Reads one line of any length; false at the end of the file.
static bool read_line(FILE* f, std::string* line)
{
	line->clear();
	int c;
	while ((c = fgetc(f)) != EOF) {
		line->push_back((char)c);
		if (c == '\n')
			return true;
	}
	return !line->empty();
}

void texture_c::checksubtex(const char* fn)
{
	std::string atlasname = std::string(fn) + ".txt";
	FILE* f = fopen(atlasname.c_str(), "rt");
	if (!f) {
		fprintf(stderr, "no subtexes\n");
		return;
	}
	// A final line without a line end is dropped, as is the 1000th line.
	std::vector<char*> lines;
	std::string line;
	int reads = 0;
	bool complete = true;
	while (reads < max_atlas_reads) {
		bool got = read_line(f, &line);
		reads++;
		complete = got && !line.empty() && line.back() == '\n';
		if (!got || !complete)
			break;
		line.pop_back();
		lines.push_back(strdup(line.c_str()));
	}
	if (reads == max_atlas_reads && complete && !lines.empty()) {
		free(lines.back());
		lines.pop_back();
	}
	fprintf(stderr, "%i texes\n", (int)lines.size());
	subtexdata = new char*[lines.size() + 1];
	for (size_t i = 0; i < lines.size(); i++)
		subtexdata[i] = lines[i];
	subtexdata[lines.size()] = NULL;
	subtexnum = (int)lines.size();
	fclose(f);
}

void texture_c::load(const char* fn, int texflags)
{
	flags = texflags;
	GLint format = (texflags & TEX_RGB) ? GL_RGB : GL_RGBA;
	checksubtex(fn);

	if (texflags & TEX_CUBE) {
		fprintf(stderr, "loading cubemap %s as %i\n", fn, texflags);
		if (subtexnum != 6) {
			fprintf(stderr, "no subtexes.\n");
			return;
		}
		GLuint id;
		glGenTextures(1, &id);
		glBindTexture(GL_TEXTURE_CUBE_MAP, id);
		set_params(GL_TEXTURE_CUBE_MAP, texflags, false);
		for (int i = 0; i < 6; i++) {
			fprintf(stderr, "noin: %i\n", i);
			SDL_Surface* s = load_image(subtexdata[i], format);
			glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
			glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, format, s->w, s->h, 0,
				format, GL_UNSIGNED_BYTE, s->pixels);
			SDL_FreeSurface(s);
		}
		textureid = id;
		return;
	}

	fprintf(stderr, "loading normal 2D tex %s as %i\n", fn, texflags);
	GLuint id;
	glGenTextures(1, &id);
	glBindTexture(GL_TEXTURE_2D, id);
	set_params(GL_TEXTURE_2D, texflags, true);
	SDL_Surface* s = load_image(fn, format);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glTexImage2D(GL_TEXTURE_2D, 0, format, s->w, s->h, 0, format, GL_UNSIGNED_BYTE, s->pixels);
	SDL_FreeSurface(s);
	textureid = id;
}

SDL_Surface* texture_c::load_image(const char* fn, GLint internalformat)
{
	SDL_Surface* image = IMG_Load(fn);
	if (!image) {
		// Every picture is assumed to exist: stop rather than show garbage.
		fprintf(stderr, "couldn't load!\n");
		fprintf(stderr, "%s: %s\n", fn, IMG_GetError());
		exit(1);
	}
	SDL_SetAlpha(image, 0, 255);
	fprintf(stderr, "texture bpp: %i\n", image->format->BitsPerPixel);

	SDL_Surface* result;
	if (internalformat == GL_RGBA)
		result = SDL_CreateRGBSurface(SDL_SRCALPHA, image->w, image->h, 32,
			0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
	else if (internalformat == GL_RGB)
		result = SDL_CreateRGBSurface(0, image->w, image->h, 24,
			0x0000ff, 0x00ff00, 0xff0000, 0);
	else {
		SDL_FreeSurface(image);
		return NULL;
	}

	// Bottom row first, as GL expects.
	for (int y = 0; y < image->h; y++) {
		SDL_Rect src = { 0, (Sint16)y, (Uint16)image->w, 1 };
		SDL_Rect dst = { 0, (Sint16)(image->h - 1 - y), (Uint16)image->w, 1 };
		SDL_BlitSurface(image, &src, result, &dst);
	}
	SDL_FreeSurface(image);
	return result;
}

void texture_c::fromsurface(SDL_Surface* surf)
{
	fromsurface(surf, 0);
}

static bool surface_format(SDL_Surface* surf, GLenum* format)
{
	int bpp = surf->format->BitsPerPixel;
	if (bpp == 32)
		*format = GL_RGBA;
	else if (bpp == 24)
		*format = GL_RGB;
	else {
		fprintf(stderr, "unsupported surface depth %i\n", bpp);
		return false;
	}
	return true;
}

void texture_c::fromsurface(SDL_Surface* surf, int texflags)
{
	flags = texflags & ~TEX_RGB;
	GLenum format;
	if (!surface_format(surf, &format))
		return;
	if (format == GL_RGB)
		flags |= TEX_RGB;
	fprintf(stderr, "loading normal 2D surface to tex %i\n", flags);
	GLuint id;
	glGenTextures(1, &id);
	glBindTexture(GL_TEXTURE_2D, id);
	set_params(GL_TEXTURE_2D, flags, true);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
#ifndef QVD_HANDHELD
	glPixelStorei(GL_UNPACK_ROW_LENGTH, surf->pitch / surf->format->BytesPerPixel);
#endif
	glTexImage2D(GL_TEXTURE_2D, 0, format, surf->w, surf->h, 0, format, GL_UNSIGNED_BYTE, surf->pixels);
#ifndef QVD_HANDHELD
	glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
#endif
	textureid = id;
}

void texture_c::fromsurface_subtex(SDL_Surface* surf)
{
	GLenum format;
	if (!surface_format(surf, &format))
		return;
	glBindTexture(GL_TEXTURE_2D, textureid);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
#ifndef QVD_HANDHELD
	glPixelStorei(GL_UNPACK_ROW_LENGTH, surf->pitch / surf->format->BytesPerPixel);
#endif
	glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, surf->w, surf->h, format, GL_UNSIGNED_BYTE, surf->pixels);
#ifndef QVD_HANDHELD
	glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
#endif
}

void texture_c::bind()
{
	glBindTexture((flags & TEX_CUBE) ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, textureid);
}

static glm::vec4 read_rect(const char* text)
{
	glm::vec4 r(0.0f);
	sscanf(text, "%f %f %f %f", &r.x, &r.y, &r.z, &r.w);
	r.z += r.x;
	r.w += r.y;
	return r;
}

glm::vec4 texture_c::getsubtex(int num)
{
	if (num < 0 || num >= subtexnum) {
		fprintf(stderr, "subtex %i too much.\n", num);
		return glm::vec4(0.0f);
	}
	const char* entry = subtexdata[num];
	const char* blank = entry[0] ? strchr(entry + 1, ' ') : NULL;
	if (!blank) {
		fprintf(stderr, "wtf\n");
		return glm::vec4(0.0f);
	}
	return read_rect(blank + 1);
}

glm::vec4 texture_c::getsubtex(const char* name)
{
	size_t len = strlen(name);
	for (int i = 0; i < subtexnum; i++) {
		if (strncmp(subtexdata[i], name, len) != 0)
			continue;
		glm::vec4 r = read_rect(subtexdata[i] + len);
		fprintf(stderr, "found subtex '%s' at pos %i. %.2f %.2f %.2f %.2f\n", name, i, r.x, r.y, r.z, r.w);
		return r;
	}
	fprintf(stderr, "can't find subtex '%s'\n", name);
	return glm::vec4(0.0f);
}

#include "texture.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "files.h"
#include "picture.h"

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

static void couldnt_load(const char* fn, const char* why)
{
	// Every picture is assumed to exist: stop rather than show garbage.
	fprintf(stderr, "couldn't load!\n");
	fprintf(stderr, "%s: %s\n", fn, why);
	exit(1);
}

// Uploads a surface's pixels whole or over the texture's top-left corner.
// SDL pads each row to 4 bytes and GL ES has no unpack row length, so rows
// whose pitch is not width * pixel size are first copied out tight (the
// demo uploads only while loading; a tight surface is never copied).
static void upload(GLenum target, SDL_Surface* s, GLenum format, bool sub)
{
	size_t row = (size_t)s->w * (format == GL_RGB ? 3 : 4);
	const unsigned char* pixels = (const unsigned char*)s->pixels;
	std::vector<unsigned char> tight;
	if ((size_t)s->pitch != row) {
		tight.resize(row * s->h);
		for (int y = 0; y < s->h; y++)
			memcpy(&tight[row * y], pixels + (size_t)s->pitch * y, row);
		pixels = tight.data();
	}
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	if (sub)
		glTexSubImage2D(target, 0, 0, 0, s->w, s->h, format, GL_UNSIGNED_BYTE, pixels);
	else
		glTexImage2D(target, 0, format, s->w, s->h, 0, format, GL_UNSIGNED_BYTE, pixels);
}

static bool check_picture_file(FILE* f, const char* fn);
static bool picture_fits(const char* fn, int64_t w, int64_t h);

// Opens, checks and decodes a picture, or stops with a line naming it:
// every picture is assumed to exist.
static picture_s read_picture(const char* fn, int channels)
{
	FILE* f = open_regular(fn, "rb");
	if (!f)
		couldnt_load(fn, open_failure());
	if (!check_picture_file(f, fn))
		exit(1);
	picture_s p;
	std::string why;
	bool whole = decode_picture(f, channels, &p, &why);
	fclose(f);
	if (!whole)
		couldnt_load(fn, why.c_str());
	if (!picture_fits(fn, p.w, p.h))
		exit(1);
	fprintf(stderr, "texture bpp: %i\n", p.bits);
	return p;
}

#ifdef QVD_GLES
static bool power_of_two(int n)
{
	return n > 0 && (n & (n - 1)) == 0;
}
#endif

// OpenGL ES 2 repeats a texture only if its sides are powers of two; any
// other size samples black there, so stop with its name instead.
static void check_repeat(const char* fn, int w, int h, bool repeat)
{
#ifdef QVD_GLES
	if (repeat && (!power_of_two(w) || !power_of_two(h))) {
		fprintf(stderr, "%s: %ix%i picture with repeat wrapping: OpenGL ES 2 repeats only power-of-two sides\n",
			fn, w, h);
		exit(1);
	}
#else
	(void)fn, (void)w, (void)h, (void)repeat;
#endif
}

// One picture file into a 2D texture or one side of a cube map.
static void upload_file(GLenum target, const char* fn, GLint format, bool repeat)
{
	picture_s p = read_picture(fn, format == GL_RGB ? 3 : 4);
	check_repeat(fn, p.w, p.h, repeat);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glTexImage2D(target, 0, format, p.w, p.h, 0, format, GL_UNSIGNED_BYTE, p.pixels);
	free_picture(&p);
}

static const size_t max_atlas_line = 998;  // characters, line end not counted

// Reads one line, keeping at most max_atlas_line characters of it and
// skipping the rest (*cut tells); false at the end of the file.
static bool read_line(FILE* f, std::string* line, bool* cut)
{
	line->clear();
	*cut = false;
	int c;
	size_t len = 0;
	while ((c = fgetc(f)) != EOF) {
		if (c == '\n') {
			line->push_back('\n');
			return true;
		}
		if (len++ < max_atlas_line)
			line->push_back((char)c);
		else
			*cut = true;
	}
	return len > 0;
}

void texture_c::checksubtex(const char* fn)
{
	std::string atlasname = std::string(fn) + ".txt";
	FILE* f = open_regular(atlasname.c_str(), "r");
	if (!f) {
		if (errno == ENOENT)
			fprintf(stderr, "no subtexes\n");
		else
			fprintf(stderr, "%s: %s, no subtexes\n", atlasname.c_str(), open_failure());
		return;
	}
	// A final line without a line end is dropped, as is the 1000th line.
	std::vector<char*> lines;
	std::string line;
	int reads = 0;
	bool complete = true;
	bool cut;
	while (reads < max_atlas_reads) {
		bool got = read_line(f, &line, &cut);
		reads++;
		if (cut)
			fprintf(stderr, "%s:%i: line longer than %i characters, cut\n", atlasname.c_str(), reads,
				(int)max_atlas_line);
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
			upload_file(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, subtexdata[i], format, false);
		}
		textureid = id;
		return;
	}

	fprintf(stderr, "loading normal 2D tex %s as %i\n", fn, texflags);
	GLuint id;
	glGenTextures(1, &id);
	glBindTexture(GL_TEXTURE_2D, id);
	set_params(GL_TEXTURE_2D, texflags, true);
	upload_file(GL_TEXTURE_2D, fn, format, (texflags & TEX_REPEAT) != 0);
	textureid = id;
}

// The largest picture a texture may be: the GL's limit, and never more
// than SDL 1.2's 16-bit rectangles and pitches can address.
static bool picture_fits(const char* fn, int64_t w, int64_t h)
{
	GLint limit = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
	if (limit <= 0 || limit > 16384)
		limit = 16384;  // no context yet, or more than SDL can address
	if (w <= limit && h <= limit)
		return true;
	fprintf(stderr, "%s: picture of %lldx%lld is larger than %i, the largest texture side\n", fn,
		(long long)w, (long long)h, (int)limit);
	return false;
}

// 64 bits: a 32-bit long (on ARM) would turn lengths past 2^31 negative.
static int64_t big_endian(const unsigned char* p, int bytes)
{
	int64_t v = 0;
	for (int i = 0; i < bytes; i++)
		v = v << 8 | p[i];
	return v;
}

// Every PNG chunk must lie inside the file, up to IEND: the decoder reads
// on past the end of the file without noticing, for minutes in a chunk
// that claims gigabytes.
static bool png_chunks_whole(FILE* f)
{
	if (fseek(f, 0, SEEK_END) != 0)
		return false;
	int64_t size = ftell(f);
	unsigned char h[8];
	for (int64_t pos = 8; pos + 12 <= size;) {
		if (fseek(f, (long)pos, SEEK_SET) != 0 || fread(h, 1, 8, f) != 8)
			return false;
		int64_t len = big_endian(h, 4);
		if (len > 0x7fffffff || len > size - pos - 12)
			return false;
		if (!memcmp(h + 4, "IEND", 4))
			return true;
		pos += 12 + len;
	}
	return false;
}

// Before decoding: the size of a PNG or JPEG from its header, so that a
// huge picture is refused without decoding it, and a JPEG's end marker,
// whose absence the decoder only warns of (it fills the rest with grey).
bool check_picture(const char* fn)
{
	FILE* f = open_regular(fn, "rb");
	if (!f)
		return true;  // the loader says what is wrong
	bool ok = check_picture_file(f, fn);
	fclose(f);
	return ok;
}

static bool check_picture_file(FILE* f, const char* fn)
{
	// The headers lie in the first bytes, the end marker in the last two.
	std::vector<unsigned char> d(65536);
	d.resize(fread(d.data(), 1, d.size(), f));
	unsigned char tail[2] = { 0, 0 };
	bool ended = fseek(f, -2, SEEK_END) == 0 && fread(tail, 1, 2, f) == 2 && tail[0] == 0xff &&
		tail[1] == 0xd9;
	// The decoder takes anything that begins like a PNG for one.
	static const unsigned char png[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
	bool is_png = d.size() >= 4 && !memcmp(d.data(), png, 4);
	bool whole = is_png && d.size() >= 24 && !memcmp(d.data(), png, 8) && !memcmp(&d[12], "IHDR", 4) &&
		png_chunks_whole(f);
	rewind(f);
	if (is_png && !whole) {
		fprintf(stderr, "%s: PNG without its header or with chunks past the end of the file (file cut short?)\n", fn);
		return false;
	}
	if (is_png)
		return picture_fits(fn, big_endian(&d[16], 4), big_endian(&d[20], 4));
	if (d.size() < 4 || d[0] != 0xff || d[1] != 0xd8)
		return true;
	if (!ended) {
		fprintf(stderr, "%s: JPEG data ends before its end marker (file cut short?)\n", fn);
		return false;
	}
	// Segments up to the frame header (SOF0-15 less DHT, JPG and DAC).
	for (size_t i = 2; i + 9 < d.size() && d[i] == 0xff;) {
		unsigned char m = d[i + 1];
		if (m >= 0xc0 && m <= 0xcf && m != 0xc4 && m != 0xc8 && m != 0xcc)
			return picture_fits(fn, big_endian(&d[i + 7], 2), big_endian(&d[i + 5], 2));
		i += 2 + big_endian(&d[i + 2], 2);
	}
	return true;
}

SDL_Surface* texture_c::load_image(const char* fn, GLint internalformat)
{
	if (internalformat != GL_RGB && internalformat != GL_RGBA)
		return NULL;
	bool rgb = internalformat == GL_RGB;
	picture_s p = read_picture(fn, rgb ? 3 : 4);
	// Bytes red, green, blue (, alpha) as GL reads them.
	SDL_Surface* result = rgb ?
		SDL_CreateRGBSurface(0, p.w, p.h, 24, 0x0000ff, 0x00ff00, 0xff0000, 0) :
		SDL_CreateRGBSurface(SDL_SRCALPHA, p.w, p.h, 32, 0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
	size_t row = (size_t)p.w * (rgb ? 3 : 4);
	for (int y = 0; y < p.h; y++)
		memcpy((Uint8*)result->pixels + (size_t)y * result->pitch, p.pixels + row * y, row);
	free_picture(&p);
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
	upload(GL_TEXTURE_2D, surf, format, false);
	textureid = id;
}

void texture_c::fromsurface_subtex(SDL_Surface* surf)
{
	GLenum format;
	if (!surface_format(surf, &format))
		return;
	glBindTexture(GL_TEXTURE_2D, textureid);
	upload(GL_TEXTURE_2D, surf, format, true);
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

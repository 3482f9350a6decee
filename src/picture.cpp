// The desktop and handheld decoders: libpng and libjpeg directly, for
// they tell what SDL_image keeps to itself. libjpeg fills what it cannot
// decode with grey and only warns; any warning refuses the picture.
#include "picture.h"

#include <jpeglib.h>
#include <png.h>
#include <setjmp.h>
#include <stdlib.h>
#include <string.h>

struct decode_error_s {
	jpeg_error_mgr jpeg;  // first, so that libjpeg's pointer is ours
	jmp_buf back;
	std::string what;
};

static bool size_ok(unsigned long w, unsigned long h, std::string* why)
{
	if (w > 0 && h > 0 && w <= (unsigned long)max_picture_side && h <= (unsigned long)max_picture_side)
		return true;
	*why = "picture of " + std::to_string(w) + "x" + std::to_string(h) + " is larger than " +
		std::to_string(max_picture_side) + " or empty";
	return false;
}

static void jpeg_fail(j_common_ptr c)
{
	decode_error_s* e = (decode_error_s*)c->err;
	char text[JMSG_LENGTH_MAX];
	c->err->format_message(c, text);
	e->what = text;
	longjmp(e->back, 1);
}

static void jpeg_note(j_common_ptr c, int level)
{
	// Warnings only; traces stay quiet.
	if (level >= 0)
		return;
	decode_error_s* e = (decode_error_s*)c->err;
	if (c->err->num_warnings++ == 0) {
		char text[JMSG_LENGTH_MAX];
		c->err->format_message(c, text);
		e->what = text;
	}
}

static unsigned char* decode_jpeg(FILE* f, int channels, picture_s* out, std::string* why)
{
	jpeg_decompress_struct c;
	decode_error_s e;
	c.err = jpeg_std_error(&e.jpeg);
	e.jpeg.error_exit = jpeg_fail;
	e.jpeg.emit_message = jpeg_note;
	unsigned char* volatile pixels = NULL;
	if (setjmp(e.back)) {
		jpeg_destroy_decompress(&c);
		free(pixels);
		*why = "JPEG: " + e.what;
		return NULL;
	}
	jpeg_create_decompress(&c);
	jpeg_stdio_src(&c, f);
	jpeg_read_header(&c, TRUE);
	c.out_color_space = channels == 4 ? JCS_EXT_RGBA : JCS_RGB;
	jpeg_start_decompress(&c);
	if (!size_ok(c.output_width, c.output_height, why)) {
		jpeg_destroy_decompress(&c);
		return NULL;
	}
	size_t row = (size_t)c.output_width * channels;
	pixels = (unsigned char*)malloc(row * c.output_height);
	while (c.output_scanline < c.output_height) {
		JSAMPROW p = pixels + row * (c.output_height - 1 - c.output_scanline);
		jpeg_read_scanlines(&c, &p, 1);
	}
	jpeg_finish_decompress(&c);
	out->w = (int)c.output_width;
	out->h = (int)c.output_height;
	out->bits = c.num_components * 8;
	bool whole = e.jpeg.num_warnings == 0;
	jpeg_destroy_decompress(&c);
	if (!whole) {
		free(pixels);
		*why = "JPEG damaged or cut short (" + e.what + ")";
		return NULL;
	}
	return pixels;
}

static void png_fail(png_structp png, png_const_charp text)
{
	decode_error_s* e = (decode_error_s*)png_get_error_ptr(png);
	e->what = text;
	longjmp(e->back, 1);
}

// A warning concerns side data (a colour profile, a text chunk): the
// pixels themselves fail with an error.
static void png_note(png_structp, png_const_charp)
{
}

static unsigned char* decode_png(FILE* f, int channels, picture_s* out, std::string* why)
{
	decode_error_s e;
	png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &e, png_fail, png_note);
	png_infop info = png ? png_create_info_struct(png) : NULL;
	if (!info) {
		png_destroy_read_struct(&png, NULL, NULL);
		*why = "out of memory";
		return NULL;
	}
	unsigned char* volatile pixels = NULL;
	png_bytep* volatile rows = NULL;
	if (setjmp(e.back)) {
		png_destroy_read_struct(&png, &info, NULL);
		free(pixels);
		free(rows);
		*why = "PNG: " + e.what;
		return NULL;
	}
	png_set_benign_errors(png, 0);  // "too much image data" and the like
	png_init_io(png, f);
	png_read_info(png, info);
	png_uint_32 pw = png_get_image_width(png, info), ph = png_get_image_height(png, info);
	if (!size_ok(pw, ph, why)) {
		png_destroy_read_struct(&png, &info, NULL);
		return NULL;
	}
	out->bits = png_get_channels(png, info) * 8;
	png_set_expand(png);
	png_set_strip_16(png);
	png_set_gray_to_rgb(png);
	png_set_interlace_handling(png);
	if (channels == 4)
		png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
	else
		png_set_strip_alpha(png);
	png_read_update_info(png, info);
	size_t row = (size_t)pw * channels;
	if (png_get_rowbytes(png, info) != row)
		png_error(png, "unexpected row layout");
	pixels = (unsigned char*)malloc(row * ph);
	rows = (png_bytep*)malloc(sizeof(png_bytep) * ph);
	for (png_uint_32 y = 0; y < ph; y++)
		rows[y] = pixels + row * (ph - 1 - y);
	png_read_image(png, rows);
	png_read_end(png, NULL);
	png_destroy_read_struct(&png, &info, NULL);
	free(rows);
	out->w = (int)pw;
	out->h = (int)ph;
	return pixels;
}

bool decode_picture(FILE* f, int channels, picture_s* out, std::string* why)
{
	unsigned char head[8] = { 0 };
	size_t got = fread(head, 1, sizeof(head), f);
	rewind(f);
	out->pixels = NULL;
	if (got == sizeof(head) && !png_sig_cmp(head, 0, 8))
		out->pixels = decode_png(f, channels, out, why);
	else if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
		out->pixels = decode_jpeg(f, channels, out, why);
	else
		*why = "neither a PNG nor a JPEG picture";
	return out->pixels != NULL;
}

void free_picture(picture_s* p)
{
	free(p->pixels);
	p->pixels = NULL;
}

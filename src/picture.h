// Decoding a PNG or JPEG whole, or not at all: a picture that decodes
// only partly (cut short, an end marker appended after the cut, a damaged
// segment) is refused rather than shown with made-up rows.
#pragma once

#include <stdio.h>
#include <string>

// Largest side decoded; more than any texture and than SDL 1.2 can address.
const int max_picture_side = 16384;

struct picture_s {
	unsigned char* pixels;  // tight rows of `channels` bytes, bottom row first
	int w, h;
	int bits;               // bits per pixel in the file
};

// Decodes the picture in f into 3 (RGB) or 4 (RGBA) channels. False, with
// what is wrong in *why, for anything that does not decode whole.
bool decode_picture(FILE* f, int channels, picture_s* out, std::string* why);
void free_picture(picture_s* p);

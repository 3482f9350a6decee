#pragma once

// Writes RGB pixels stored bottom row first as a PNG file.
bool write_png_rgb_flipped(const char* path, int w, int h, const unsigned char* pixels);

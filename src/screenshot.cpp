#include "screenshot.h"

#include <stdio.h>
#include <string.h>

#include "gl.h"

SDL_Surface* shots[4];

static SDL_Surface* new_frame_image(int w, int h)
{
	return SDL_CreateRGBSurface(0, w, h, 32, 0x000000ff, 0x0000ff00, 0x00ff0000, 0);
}

SDL_Surface* get_screenshot(int video_w, int video_h)
{
	SDL_Surface* raw = new_frame_image(video_w, video_h);
	glPixelStorei(GL_PACK_ALIGNMENT, 4);
	glReadPixels(0, 0, video_w, video_h, GL_RGBA, GL_UNSIGNED_BYTE, raw->pixels);
	// GL reads bottom row first; image files want the top row first.
	SDL_Surface* result = new_frame_image(video_w, video_h);
	for (int y = 0; y < video_h; y++)
		memcpy((Uint8*)result->pixels + y * result->pitch,
			(Uint8*)raw->pixels + (video_h - 1 - y) * raw->pitch, video_w * 4);
	SDL_FreeSurface(raw);
	return result;
}

void save_screenshot(char* fn, int w, int h)
{
	SDL_Surface* s = get_screenshot(w, h);
	SDL_SaveBMP_RW(s, SDL_RWFromFile(fn, "wb"), 1);
	SDL_FreeSurface(s);
}

void screenshot_blur(int frame, int count, int video_w, int video_h)
{
	if (count < 1 || count > 4 || frame < 0) {
		fprintf(stderr, "screenshot_blur: frame %i, count %i out of range\n", frame, count);
		return;
	}
	int slot = frame % count;
	if (shots[slot])
		SDL_FreeSurface(shots[slot]);
	shots[slot] = get_screenshot(video_w, video_h);
	if (slot != count - 1)
		return;

	for (int i = 0; i < count; i++) {
		if (!shots[i]) {
			// The set did not start at a multiple of count: nothing to average.
			fprintf(stderr, "screenshot_blur: frame %i missing\n", frame - (count - 1 - i));
			return;
		}
	}
	SDL_Surface* out = new_frame_image(video_w, video_h);
	SDL_FillRect(out, NULL, 0);
	for (int y = 0; y < video_h; y++) {
		Uint8* dst = (Uint8*)out->pixels + y * out->pitch;
		for (int x = 0; x < video_w; x++) {
			for (int c = 0; c < 3; c++) {
				int sum = 0;
				for (int i = 0; i < count; i++)
					sum += ((Uint8*)shots[i]->pixels)[y * shots[i]->pitch + x * 4 + c];
				dst[x * 4 + c] = (Uint8)(sum / count);
			}
		}
	}
	for (int i = 0; i < count; i++) {
		SDL_FreeSurface(shots[i]);
		shots[i] = NULL;
	}
	char name[32];
	snprintf(name, sizeof(name), "ss%08i.bmp", frame / count);
	SDL_SaveBMP(out, name);
	SDL_FreeSurface(out);
}

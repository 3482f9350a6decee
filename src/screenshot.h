// Reading finished frames back from the GL: the w x h pixels at the
// bottom-left of the window.
#pragma once

#include <SDL/SDL.h>

extern SDL_Surface* shots[4];

SDL_Surface* get_screenshot(int w, int h);   // caller frees; top row first
void save_screenshot(char* fn, int w, int h);  // BMP file
// Every count frames, "ss%08i.bmp", the average of the last count frames.
void screenshot_blur(int frame, int count, int w, int h);

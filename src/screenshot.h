// Reading finished frames back from the GL.
#pragma once

#include <SDL/SDL.h>

extern SDL_Surface* shots[4];
extern SDL_Surface* screenshot_surface;

SDL_Surface* get_screenshot();          // caller frees; top row first
void save_screenshot(char* fn);         // BMP file
void screenshot_blur(int frame, int count);  // every count frames, "ss%08i.bmp"

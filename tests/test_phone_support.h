// Helpers for the tests of the phone, city, ring and star effects: a
// scratch data folder, re-armed events and frames saved for looking at.
#pragma once

#include <stdint.h>
#include <string>

// Creates a fresh folder with gfx/ inside and makes it the working directory.
std::string scene_dir(const char* name);
void scene_text(const char* fn, const std::string& text);
// A w x h picture of one colour (0xAABBGGRR).
void scene_png(const char* fn, int w, int h, uint32_t rgba);
// A w x h picture of colour `rest` whose top-left quarter is `mark`.
void scene_marked_png(const char* fn, int w, int h, uint32_t mark, uint32_t rest);
// Every event fires again, as if the run had just started.
void scene_rearm();
// Writes the current frame as a PNG (only when QVD_SAVE_FRAMES is set).
void scene_save(const char* fn, int w, int h);

// The generator's families; each writes its files below `dir`.
#pragma once

#include <string>

void gen_lettering(const std::string& dir);   // chargen, credits, logo, words, screens
void gen_materials(const std::string& dir);   // tiling surfaces and backdrops
void gen_scenes(const std::string& dir);      // face, forest, sprites, phone skin
void gen_models(const std::string& dir);      // N9_low.obj, dode.obj, city08.obj
void gen_music(const std::string& dir);       // quintaro.ogg
void gen_icon(const std::string& file);       // the program's icon, a PNG

// Phone skin layout shared by the model and its texture: (u, v) regions in
// texture space, v = 0 at the bottom of the picture.
namespace phone {
const float body_x = 30.5f;                 // half width
const float body_y0 = 3.0f, body_y1 = 119.0f;
const float back_z = -6.5f, front_z = 5.42f, mid_z = -1.0f;
const float front_round = 4.5f;             // inset of the flat front
const float back_round = 3.0f;
const float corner = 9.0f;                  // outline corner radius
const float glass_from = 0.82f;             // side strip v where the glass starts
// side strip: u 0..0.5, v 0..1 (back to front); front cap: u 0.5..1,
// v 0.5..1; back cap: u 0.5..1, v 0..0.5.
}

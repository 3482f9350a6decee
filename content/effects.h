// The demo's effects and the globals through which the timeline steers them.
#pragma once

#include <glm/glm.hpp>

#include "../src/demoeffect.h"
#include "../src/fbo.h"
#include "../src/gl.h"
#include "../src/spring.h"
#include "../src/texture.h"

// Registry: one pointer per effect, named after it.
extern demoeffect_c* flyphone;        // 3dphone
extern demoeffect_c* velmor;          // velmor
extern demoeffect_c* ballspring;      // ballspring
extern demoeffect_c* bump;            // bump
extern demoeffect_c* dode;            // dode
extern demoeffect_c* face;            // face
extern demoeffect_c* fluid;           // fluid
extern demoeffect_c* gear;            // gear
extern demoeffect_c* heart;           // heart
extern demoeffect_c* lace;            // lace
extern demoeffect_c* qvdlogo;         // qvdlogo
extern demoeffect_c* mujuice;         // mujuice
extern demoeffect_c* orange;          // orange
extern demoeffect_c* orangetexgen;    // orangetex
extern demoeffect_c* orbitscroller;   // orbitscroller
extern demoeffect_c* pbtausta;        // pbtausta
extern demoeffect_c* ripsilu;         // ripsilu
extern demoeffect_c* scrollertexgen;  // scrollertex
extern demoeffect_c* screenshot;      // screenshot
extern demoeffect_c* starfield;       // starfield
extern demoeffect_c* starfield2;      // starfield2
extern demoeffect_c* textbox;         // textbox
extern demoeffect_c* texturetest;     // texturetest
extern demoeffect_c* tunnel;          // tunnel
extern demoeffect_c* zreset;          // zreset

// demo
extern fbo_c* orangetex_fbo;
extern fbo_c* orange_fbo;
extern fbo_c* scrollertex_fbo;
extern texture_c screenshottex;
extern GLuint orangetex;
extern float orbitradius;
extern spring_c<glm::vec3> tunnelflyer;

// 3dphone
extern GLuint phonescreentex;
extern glm::mat4 phone_rotation_mv;
extern glm::mat4 phone_projection;
extern texture_c nysitex;
extern bool show_whiteback;
extern bool flyphone_tunnelready;
extern bool phone_screen_covered;  // the script draws over all of the screen: only its mark counts
void phonedraw();

// tunnel
extern float citybomb;
extern float CityMaxDistance;
extern float camPitch;
extern float camYaw;

// orbitscroller
extern GLuint scrollertex;

// ballspring
extern float gravforce;

// starfield, starfield2
extern float sf_zchange;
extern float starang;

// face, ripsilu, texturetest, zreset; the depth (device z) at which the
// first three and bump lay their whole picture
extern float ylift;
extern const float face_depth;
extern const float ripsilu_depth;
extern const float pbtausta_depth;
extern const float bump_depth;
extern float ripsilu_mm;
extern GLuint texturetesttex;
extern float horizonbomb;
void zreset_backdrop(float bombsize, bool open_only);

// bump
extern int bumptgt;

// gear
extern int gearAppear;

// The runtime frame: configuration, window, event pump and the demo hooks.
#pragma once

#include <SDL/SDL.h>

#include "demoeffect.h"
#include "frameclock.h"
#include "platform.h"

extern int config_width;
extern int config_height;
extern int config_videoflags;
extern int config_otherflags;   // bit 0: music on
extern int config_stencilsize;
extern float timeval_skip;
extern bool debugmode;
extern const char* demoname;
extern const char* song_file;
extern int video_w;
extern int video_h;
extern Uint8* keystate;
extern int mouserull[2];        // wheel up, wheel down clicks of this frame
extern bool done_hint;
// Drawn as the first picture where the platform captured the desktop.
extern demoeffect_c* first_picture;

typedef void (*event_callback_t)(SDL_Event*);
const int max_event_callbacks = 10;

void set_event_callback(event_callback_t cb);
int init_gl();
void system_crap_pre();
// Shows the frame drawn; every swap of the program goes through here.
void swap_buffers();
void system_crap();
// Shows the first picture: the captured desktop where there is one.
void show_first_picture();

// Hooks the demo provides.
void demo_config();
void demo_init();
void demo_initgl();
void demo_run();

// The whole start-up sequence; never returns.
int runtime_main(int argc, char** argv);

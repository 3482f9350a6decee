// Demo clock: timeval, the beat grid and the fixed 0.02 s logic steps. The
// runtime advances it each frame (src/runtime/frameclock.h).
#pragma once

extern float timeval;       // seconds since the music started, plus the skip time
extern float beatgrid;      // timeval on the music's beat grid
extern int frameskip;       // 0.02 s logic steps due in this frame
extern bool seeking;        // stepping the logic up to a start time: nothing is drawn

extern float beat_first;    // seconds of beat-grid position 0
extern float beat_last;     // a later time in seconds ...
extern float beat_lastnum;  // ... and its beat-grid position

float beatgrid_calc(float seconds);

// Adds one frame period (at most max_frame_period) to the accumulator and
// returns the logic steps due.
extern const float max_frame_period;
int frameskip_advance(float* accumulator, float period);

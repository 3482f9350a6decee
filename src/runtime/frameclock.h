// The frame's side of the clock: time stamps, the frame's start and length,
// the counts of the 2 s statistics line and the end-of-frame step.
#pragma once

#include <atomic>
#include <stdint.h>

#include "clock.h"

typedef int64_t qvdtime_t;  // nanoseconds of the platform's time stamp

extern int64_t sys_frequency;  // clock ticks per second
extern qvdtime_t timestart;
extern qvdtime_t framestart;
extern qvdtime_t frameend;
extern float frametime;
extern float frameskiptime;    // logic-step accumulator, in (-0.02, 0] after a frame

// Shared with SDL's timer thread, which reads and zeroes them.
extern std::atomic<int> framecounter;
extern std::atomic<int> framecounter_logic;
// timeval and beatgrid as of the last frame's end, for the timer thread:
// the globals themselves are the main thread's alone.
extern std::atomic<float> stats_time;
extern std::atomic<float> stats_beat;

void getqvdtime(qvdtime_t* t);
void qvdtimersub(qvdtime_t* a, qvdtime_t* b, qvdtime_t* result);
double tvtof(qvdtime_t* t);
void time_init();

// Statistics line of the 2 s timer, for counts over one interval.
void print_stats(int frames, int logic_steps, float time, float beat);

// Window resize report, consumed at the end of a frame.
extern float screenmode_changetime;
extern bool screenmode_needschange;

// End-of-frame step: resize report, then acknowledges the frame's events.
void sync_dispatcher();

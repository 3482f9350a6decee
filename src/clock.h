// Demo clock: timeval, the beat grid and the fixed 0.02 s logic steps.
#pragma once

#include <atomic>
#include <stdint.h>

#ifdef QVD_HANDHELD
#include <sys/time.h>
typedef struct timeval qvdtime_t;  // gettimeofday: seconds and microseconds
#else
typedef int64_t qvdtime_t;  // monotonic clock ticks (nanoseconds)
#endif

extern float timeval;       // seconds since the music started, plus the skip time
extern float beatgrid;      // timeval on the music's beat grid
extern int frameskip;       // 0.02 s logic steps due in this frame

extern float beat_first;    // seconds of beat-grid position 0
extern float beat_last;     // a later time in seconds ...
extern float beat_lastnum;  // ... and its beat-grid position

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
float beatgrid_calc(float seconds);

// Adds one frame period (at most max_frame_period) to the accumulator and
// returns the logic steps due.
extern const float max_frame_period;
int frameskip_advance(float* accumulator, float period);

// Statistics line of the 2 s timer, for counts over one interval.
void print_stats(int frames, int logic_steps, float time, float beat);

// Window resize report, consumed at the end of a frame.
extern float screenmode_changetime;
extern bool screenmode_needschange;

// End-of-frame step: resize report, then acknowledges the frame's events.
void sync_dispatcher();

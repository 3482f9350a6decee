#include "clock.h"

#include <stdio.h>
#include <time.h>

#include "sync.h"
#ifdef QVD_HANDHELD
#include "handheld.h"
#endif

float timeval = 0.0f;
float beatgrid = 0.0f;
int frameskip = 0;

float beat_first = 0.0f;
float beat_last = 10.0f;
float beat_lastnum = 319.0f;

int64_t sys_frequency = 0;
qvdtime_t timestart = {};
qvdtime_t framestart = {};
qvdtime_t frameend = {};
float frametime = 0.0f;
float frameskiptime = 0.0f;

std::atomic<int> framecounter(0);
std::atomic<int> framecounter_logic(0);
std::atomic<float> stats_time(0.0f);
std::atomic<float> stats_beat(0.0f);

float screenmode_changetime = 0.0f;
bool screenmode_needschange = false;

const float logic_step = 0.02f;
// A day; past about six days a float accumulator no longer moves by a
// 0.02 s step, and the loop below would never end.
const float max_frame_period = 86400.0f;

#ifdef QVD_HANDHELD
void getqvdtime(qvdtime_t* t)
{
	gettimeofday(t, NULL);
}

void qvdtimersub(qvdtime_t* a, qvdtime_t* b, qvdtime_t* result)
{
	result->tv_usec = a->tv_usec - b->tv_usec;
	result->tv_sec = a->tv_sec - b->tv_sec;
	if (result->tv_usec < 0) {
		result->tv_sec -= 1;
		result->tv_usec += 1000000;
	}
}

double tvtof(qvdtime_t* t)
{
	return t->tv_sec + t->tv_usec / 1000000.0;
}

void time_init()
{
	getqvdtime(&timestart);
	getqvdtime(&framestart);
}
#else
void getqvdtime(qvdtime_t* t)
{
	struct timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	*t = (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

void qvdtimersub(qvdtime_t* a, qvdtime_t* b, qvdtime_t* result)
{
	*result = *a - *b;
}

double tvtof(qvdtime_t* t)
{
	return (double)*t / (double)sys_frequency;
}

void time_init()
{
	sys_frequency = 1000000000;
	getqvdtime(&timestart);
	getqvdtime(&framestart);
}
#endif

float beatgrid_calc(float seconds)
{
	float ratio = beat_lastnum / (beat_last - beat_first);
	return (seconds - beat_first) * ratio;
}

int frameskip_advance(float* accumulator, float period)
{
	// The remainder is carried as a debt, so logic never lags real time.
	int steps = 0;
	*accumulator += period < max_frame_period ? period : max_frame_period;
	while (*accumulator > 0.0f) {
		*accumulator -= logic_step;
		steps++;
	}
	return steps;
}

void print_stats(int frames, int logic_steps, float time, float beat)
{
	float fps = frames * 1000 / 2000.0f;
	float lps = logic_steps * 1000 / 2000.0f;
	fprintf(stderr, "fps: %.2f (%i) logic: %.2f (%i) time: %.2f beat: %2.f\n",
		fps, frames, lps, logic_steps, time, beat);
}

void sync_dispatcher()
{
#ifdef QVD_HANDHELD
	// Two seconds in, the user may swipe the demo away again.
	static bool swipe_disabled = true;
	if (timeval > 2.0f && swipe_disabled) {
		compositor_fix(1);
		swipe_disabled = false;
	}
#endif
	stats_time.store(timeval, std::memory_order_relaxed);
	stats_beat.store(beatgrid, std::memory_order_relaxed);
	if (timeval > screenmode_changetime && screenmode_needschange) {
		fprintf(stderr, "now changing mode.\n");
		screenmode_needschange = false;
	}
	sync_ack();
}

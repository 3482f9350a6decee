#include "frameclock.h"

#include <stdio.h>

#include "platform.h"
#include "sync.h"

int64_t sys_frequency = 0;
qvdtime_t timestart = 0;
qvdtime_t framestart = 0;
qvdtime_t frameend = 0;
float frametime = 0.0f;
float frameskiptime = 0.0f;

std::atomic<int> framecounter(0);
std::atomic<int> framecounter_logic(0);
std::atomic<float> stats_time(0.0f);
std::atomic<float> stats_beat(0.0f);

float screenmode_changetime = 0.0f;
bool screenmode_needschange = false;

void getqvdtime(qvdtime_t* t)
{
	*t = platform_now();
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

void print_stats(int frames, int logic_steps, float time, float beat)
{
	float fps = frames * 1000 / 2000.0f;
	float lps = logic_steps * 1000 / 2000.0f;
	fprintf(stderr, "fps: %.2f (%i) logic: %.2f (%i) time: %.2f beat: %2.f\n",
		fps, frames, lps, logic_steps, time, beat);
}

void sync_dispatcher()
{
	platform_frame(timeval);
	stats_time.store(timeval, std::memory_order_relaxed);
	stats_beat.store(beatgrid, std::memory_order_relaxed);
	if (timeval > screenmode_changetime && screenmode_needschange) {
		fprintf(stderr, "now changing mode.\n");
		screenmode_needschange = false;
	}
	sync_ack();
}

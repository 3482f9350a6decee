#include "seek.h"

#include <math.h>
#include <stdio.h>

#include "frameclock.h"
#include "main.h"
#include "platform.h"

double seek_time = -1.0;
// An hour. Stepping costs some 0.02 s per 100 s up to the finale and 1 s
// per 100 s in it (its balls push each other), so an hour takes some 36 s;
// further on a seek would look like a hang.
const double max_seek = 3600.0;

static const int seek_rate = 50;  // frames a second, as the reference recording
static long seek_frame = 0;       // the frame being stepped
static long first_drawn = 0;      // the frame at or just after seek_time
static qvdtime_t seek_started;

// Frame n's time exactly as a recording at seek_rate computes it.
static float frame_time(long n)
{
	return (float)((double)n / (double)seek_rate);
}

bool seek_begin()
{
	first_drawn = (long)ceil(seek_time * seek_rate - 1e-9);
	if (first_drawn <= 0)
		return false;
	getqvdtime(&seek_started);
	seek_frame = 0;
	seeking = true;
	timeval = frame_time(0);
	beatgrid = beatgrid_calc(timeval);
	sync_dispatcher();
	return true;
}

bool seek_end_frame()
{
	seek_frame++;
	frametime = 1.0f / seek_rate;
	frameskip = frameskip_advance(&frameskiptime, frametime);
	timeval = frame_time(seek_frame);
	beatgrid = beatgrid_calc(timeval);
	sync_dispatcher();
	// A browser page stays responsive through a long seek.
	if (seek_frame % 250 == 0)
		platform_yield();
	if (seek_frame < first_drawn)
		return false;
	seeking = false;
	timeval_skip = timeval;
	qvdtime_t now, took;
	getqvdtime(&now);
	qvdtimersub(&now, &seek_started, &took);
	fprintf(stderr, "seeked to %.2f s in %.2f s\n", timeval, tvtof(&took));
	return true;
}

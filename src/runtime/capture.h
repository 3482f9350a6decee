// The recording clock: instead of following real time, frame n is drawn at
// skip + n / (fps * blur) exactly, and the frames are written to PNG files
// or piped to ffmpeg, or only timed (bench).
#pragma once

#include <stdint.h>

#include "frameclock.h"

struct capture_options_s {
	bool capture;        // --capture PATH
	bool bench;          // --bench
	const char* path;
	int64_t fps_num;     // --fps as a fraction
	int64_t fps_den;
	int blur;            // --blur: drawn frames per output frame
	double from;         // --from: first second written
	double to;           // --to: last second
};

extern capture_options_s capture_options;

inline bool capture_clock()
{
	return capture_options.capture || capture_options.bench;
}

// Parses "50" or "60000/1001"; false if it is not a positive fraction.
bool parse_fps(const char* text, int64_t* num, int64_t* den);

// Demo time of drawn frame n (n >= 1), from the frame number alone.
double capture_frame_time(int64_t n);

// Logic-step length of one drawn frame in seconds.
float capture_frame_period();

// Before the window: false, after a message, when a video is asked for and
// ffmpeg is missing.
bool capture_check();

// Start-up marks for --bench: the program's entry, the window and GL up.
extern qvdtime_t started_at, gl_ready_at;

// After the window and the demo's set-up: buffers, output folder or ffmpeg.
void capture_start();

// Replaces the buffer swap and pacing of a real-time frame.
void capture_end_frame();

// Retiming without recompiling: event positions read from a file at start
// (--events), a restart at the current time when that file changes
// (--watch), a stretch of the beat grid played over and over (--loop A B),
// and every event written out when the run ends (--dump-events). A restart
// runs the program again with the same command line and a new --skip.
#pragma once

struct retime_options_s {
	const char* events_path;  // --events FILE
	bool watch;               // --watch
	bool loop;                // --loop A B
	float loop_from;          // beat-grid positions
	float loop_to;
	bool dump;                // --dump-events
};

extern retime_options_s retime_options;

// Takes argv[i] if it is one of these options: the number of arguments it
// used, 0 if it is none of them, -1 (after a message) if a value is bad.
int retime_option(int argc, char** argv, int i);

// After the whole command line: false (after a message) for combinations
// that cannot work.
bool retime_check(bool recording);

// Before anything opens: reads the events file into the registry and
// arranges the end-of-run dump and report. False (after a message) if the
// file is bad.
bool retime_start(int argc, char** argv);

// After the demo set its beat grid, before the clock starts: a --loop run
// starts at A.
void retime_begin();

// Once per real-time frame after the clock moved: restarts when the file
// has changed or the loop's end is reached.
void retime_frame();

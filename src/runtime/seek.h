// Exact seek: the script runs from the start as a recording at 50 frames a
// second would, its logic stepped and nothing drawn, up to the start time;
// there the real clock and the music, or the recording, take over. The
// frame after a seek is the frame a viewer sees at that moment.
#pragma once

extern double seek_time;  // --seek: seconds to start at, or below 0 for none
extern const double max_seek;

// Before the script's first frame. False when there is nothing to catch
// up: the clock then starts at once.
bool seek_begin();

// The end of a frame while seeking: the clock moves one 50 Hz frame on.
// True when the frame just begun is the first one to draw.
bool seek_end_frame();

#include "clock.h"

float timeval = 0.0f;
float beatgrid = 0.0f;
int frameskip = 0;
bool seeking = false;

float beat_first = 0.0f;
float beat_last = 10.0f;
float beat_lastnum = 319.0f;

const float logic_step = 0.02f;
// A day; past about six days a float accumulator no longer moves by a
// 0.02 s step, and the loop below would never end.
const float max_frame_period = 86400.0f;

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

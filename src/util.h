// Random helpers on the C library generator, which is never seeded, so
// every run shows the same layouts.
#pragma once

#include <math.h>

class util {
public:
	static float rnd();                      // [0, 1]
	static float rnd(float min, float max);  // [min, max]
	static float rnd_n();                    // [-1, 1]
};

inline float fracf(float x)
{
	return x - floorf(x);
}

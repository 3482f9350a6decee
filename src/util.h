// Random helpers on the C library generator, which is never seeded, so
// every run shows the same layouts.
#pragma once

#include <math.h>

#include <glm/glm.hpp>

class util {
public:
	static float rnd();                      // [0, 1]
	static float rnd(float min, float max);  // [min, max]
	static float rnd_n();                    // [-1, 1]
	// Uniform in the ball of the radius; zero for a radius that is not a
	// positive finite number. Samples the unit ball, so no radius can keep
	// the rejection loop from accepting (glm's ballRand never stops once
	// the squared length overflows).
	static glm::vec3 ball(float radius);
};

inline float fracf(float x)
{
	return x - floorf(x);
}

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

	// glm's random numbers, drawn in one order on every compiler. glm
	// builds each from four rand() bytes but leaves the order of those calls
	// to the compiler, so a browser build laid the stars and balls out
	// elsewhere. These take the lowest byte first and, within a byte, the
	// last component first: the desktop build's order.
	static float linear(float min, float max);
	static glm::vec2 linear(glm::vec2 min, glm::vec2 max);
	static glm::vec3 linear(glm::vec3 min, glm::vec3 max);
	static glm::vec2 circle(float radius);  // on the circle, as glm's circularRand
	static glm::vec3 sphere(float radius);  // on the sphere, as glm's sphericalRand
};

inline float fracf(float x)
{
	return x - floorf(x);
}

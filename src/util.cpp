#include "util.h"

#include <stdlib.h>

#include <glm/gtc/random.hpp>

float util::rnd()
{
	return (float)rand() / (float)RAND_MAX;
}

float util::rnd(float min, float max)
{
	return min + (max - min) * rnd();
}

float util::rnd_n()
{
	return 2.0f * rnd() - 1.0f;
}

glm::vec3 util::ball(float radius)
{
	if (!(radius > 0.0f) || !isfinite(radius))
		return glm::vec3(0.0f);
	glm::vec3 p;
	do
		p = glm::linearRand(glm::vec3(-1.0f), glm::vec3(1.0f));
	while (glm::dot(p, p) > 1.0f);
	return p * radius;
}

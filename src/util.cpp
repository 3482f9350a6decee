#include "util.h"

#include <stdlib.h>

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

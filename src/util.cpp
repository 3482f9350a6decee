#include "util.h"

#include <stdint.h>
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

glm::vec3 util::ball(float radius)
{
	if (!(radius > 0.0f) || !isfinite(radius))
		return glm::vec3(0.0f);
	glm::vec3 p;
	do
		p = linear(glm::vec3(-1.0f), glm::vec3(1.0f));
	while (glm::dot(p, p) > 1.0f);
	return p * radius;
}

// Fills n 32-bit words from rand() bytes in the fixed order.
static void rand_words(uint32_t* words, int n)
{
	for (int i = 0; i < n; i++)
		words[i] = 0;
	for (int shift = 0; shift < 32; shift += 8) {
		for (int i = n - 1; i >= 0; i--)
			words[i] |= (uint32_t)(rand() % 255) << shift;
	}
}

static float scale_word(uint32_t word, float min, float max)
{
	return (float)word / (float)UINT32_MAX * (max - min) + min;
}

float util::linear(float min, float max)
{
	uint32_t w;
	rand_words(&w, 1);
	return scale_word(w, min, max);
}

glm::vec2 util::linear(glm::vec2 min, glm::vec2 max)
{
	uint32_t w[2];
	rand_words(w, 2);
	return glm::vec2(scale_word(w[0], min.x, max.x), scale_word(w[1], min.y, max.y));
}

glm::vec3 util::linear(glm::vec3 min, glm::vec3 max)
{
	uint32_t w[3];
	rand_words(w, 3);
	return glm::vec3(scale_word(w[0], min.x, max.x), scale_word(w[1], min.y, max.y), scale_word(w[2], min.z, max.z));
}

glm::vec2 util::circle(float radius)
{
	float a = linear(0.0f, 6.283185307179586f);
	return glm::vec2(cosf(a), sinf(a)) * radius;
}

glm::vec3 util::sphere(float radius)
{
	float theta = linear(0.0f, 6.283185307179586f);
	float phi = acosf(linear(-1.0f, 1.0f));
	return glm::vec3(sinf(phi) * cosf(theta), sinf(phi) * sinf(theta), cosf(phi)) * radius;
}

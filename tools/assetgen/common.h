// Shared building blocks of the data generator: a seeded random source,
// float images, periodic noise, distance shapes, filters and file writers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <glm/glm.hpp>

using glm::vec2;
using glm::vec3;
using glm::vec4;

// Every generator gets its own stream; the C library's rand is never used,
// so two runs write the same bytes.
class rng_c {
public:
	explicit rng_c(uint64_t seed);
	uint32_t next();
	float unit();                    // [0, 1)
	float range(float a, float b);   // [a, b)
	int below(int n);                // [0, n)
private:
	uint64_t state;
};

// RGBA float picture, top row first (file order).
struct image_c {
	int w = 0, h = 0;
	std::vector<vec4> px;
	image_c() {}
	image_c(int w_, int h_, vec4 fill = vec4(0, 0, 0, 1));
	vec4& at(int x, int y) { return px[y * w + x]; }
	const vec4& at(int x, int y) const { return px[y * w + x]; }
};

// One-channel float field.
struct field_c {
	int w = 0, h = 0;
	std::vector<float> v;
	field_c() {}
	field_c(int w_, int h_, float fill = 0.0f) : w(w_), h(h_), v(w_ * h_, fill) {}
	float& at(int x, int y) { return v[y * w + x]; }
	float at(int x, int y) const { return v[y * w + x]; }
	float wrap(int x, int y) const;
	float clamped(int x, int y) const;
	float bilinear(float x, float y, bool wrap) const;
};

// Fills every pixel from a shader function of the pixel's coordinates
// (in pixels, centre at +0.5), averaging ss×ss sub-samples.
void shade(image_c& img, int ss, const std::function<vec4(vec2)>& fn);
void shade(field_c& f, int ss, const std::function<float(vec2)>& fn);

// Gradient noise on a lattice that repeats every `period` cells, so
// pictures built from it tile. fbm doubles the period per octave.
float pnoise(vec2 p, int period, uint32_t seed);
float fbm(vec2 p, int period, int octaves, uint32_t seed, float gain = 0.5f);
// Cellular noise: distance to nearest and second nearest feature point.
vec2 worley(vec2 p, int period, uint32_t seed);
uint32_t hash3(int x, int y, uint32_t seed);

// Signed distances, negative inside.
float sd_circle(vec2 p, vec2 c, float r);
float sd_box(vec2 p, vec2 c, vec2 half, float round = 0.0f);
float sd_heart(vec2 p);   // unit heart, centred, point down (y grows down)
// Anti-aliased coverage of a distance for a given pixel footprint.
float cover(float d, float aa);

float clamp01(float x);
float smooth(float e0, float e1, float x);
vec3 hex(uint32_t rgb);
vec3 mix3(vec3 a, vec3 b, float t);

// Wrap-aware or clamped separable box blur, `passes` times (≈ gaussian).
void blur(field_c& f, int radius, int passes, bool wrap);
void blur(image_c& img, int radius, int passes, bool wrap);

// Turns premultiplied colour into straight colour, and gives transparent
// pixels the colour of their neighbourhood so linear filtering shows no
// dark fringes.
void unpremultiply(image_c& img, bool wrap = false);

void write_png(const std::string& fn, const image_c& img, bool alpha);
void write_jpg(const std::string& fn, const image_c& img, int quality = 92);


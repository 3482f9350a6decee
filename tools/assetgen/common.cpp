#include "common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <stb/stb_image_write.h>

// --- random -----------------------------------------------------------------

rng_c::rng_c(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
	next();
}

// PCG-style output on a 64-bit LCG: small, fast and the same everywhere.
uint32_t rng_c::next() {
	uint64_t old = state;
	state = old * 6364136223846793005ull + 1442695040888963407ull;
	uint32_t xs = (uint32_t)(((old >> 18u) ^ old) >> 27u);
	uint32_t rot = (uint32_t)(old >> 59u);
	return (xs >> rot) | (xs << ((-rot) & 31));
}

float rng_c::unit() { return (next() >> 8) * (1.0f / 16777216.0f); }
float rng_c::range(float a, float b) { return a + (b - a) * unit(); }
int rng_c::below(int n) { return n <= 0 ? 0 : (int)(next() % (uint32_t)n); }

// --- images -----------------------------------------------------------------

image_c::image_c(int w_, int h_, vec4 fill) : w(w_), h(h_), px(w_ * h_, fill) {}

static int wrapi(int i, int n) {
	i %= n;
	return i < 0 ? i + n : i;
}

float field_c::wrap(int x, int y) const { return v[wrapi(y, h) * w + wrapi(x, w)]; }

float field_c::clamped(int x, int y) const {
	x = std::min(std::max(x, 0), w - 1);
	y = std::min(std::max(y, 0), h - 1);
	return v[y * w + x];
}

float field_c::bilinear(float x, float y, bool wrp) const {
	x -= 0.5f;
	y -= 0.5f;
	int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
	float fx = x - x0, fy = y - y0;
	auto get = [&](int xi, int yi) { return wrp ? wrap(xi, yi) : clamped(xi, yi); };
	float a = get(x0, y0) + (get(x0 + 1, y0) - get(x0, y0)) * fx;
	float b = get(x0, y0 + 1) + (get(x0 + 1, y0 + 1) - get(x0, y0 + 1)) * fx;
	return a + (b - a) * fy;
}

void shade(image_c& img, int ss, const std::function<vec4(vec2)>& fn) {
	float inv = 1.0f / ss;
	for (int y = 0; y < img.h; y++)
		for (int x = 0; x < img.w; x++) {
			vec4 sum(0.0f);
			for (int j = 0; j < ss; j++)
				for (int i = 0; i < ss; i++)
					sum += fn(vec2(x + (i + 0.5f) * inv, y + (j + 0.5f) * inv));
			img.at(x, y) = sum * (inv * inv);
		}
}

void shade(field_c& f, int ss, const std::function<float(vec2)>& fn) {
	float inv = 1.0f / ss;
	for (int y = 0; y < f.h; y++)
		for (int x = 0; x < f.w; x++) {
			float sum = 0.0f;
			for (int j = 0; j < ss; j++)
				for (int i = 0; i < ss; i++)
					sum += fn(vec2(x + (i + 0.5f) * inv, y + (j + 0.5f) * inv));
			f.at(x, y) = sum * (inv * inv);
		}
}

// --- noise ------------------------------------------------------------------

uint32_t hash3(int x, int y, uint32_t seed) {
	uint32_t h = (uint32_t)x * 0x8da6b343u ^ (uint32_t)y * 0xd8163841u ^ seed * 0xcb1ab31fu;
	h ^= h >> 15;
	h *= 0x2c1b3c6du;
	h ^= h >> 12;
	h *= 0x297a2d39u;
	h ^= h >> 15;
	return h;
}

// 256 unit gradients around the circle, looked up by hash.
struct gradients_s {
	vec2 g[256];
	gradients_s() {
		for (int i = 0; i < 256; i++) g[i] = vec2(std::cos(i * 6.2831853f / 256.0f), std::sin(i * 6.2831853f / 256.0f));
	}
};
const gradients_s gradients;

static inline vec2 grad(int x, int y, int period, uint32_t seed) {
	return gradients.g[hash3(wrapi(x, period), wrapi(y, period), seed) & 255];
}

float pnoise(vec2 p, int period, uint32_t seed) {
	int x0 = (int)std::floor(p.x), y0 = (int)std::floor(p.y);
	vec2 f = p - vec2(x0, y0);
	vec2 u = f * f * f * (f * (f * 6.0f - 15.0f) + 10.0f);
	float n00 = glm::dot(grad(x0, y0, period, seed), f);
	float n10 = glm::dot(grad(x0 + 1, y0, period, seed), f - vec2(1, 0));
	float n01 = glm::dot(grad(x0, y0 + 1, period, seed), f - vec2(0, 1));
	float n11 = glm::dot(grad(x0 + 1, y0 + 1, period, seed), f - vec2(1, 1));
	float a = n00 + (n10 - n00) * u.x;
	float b = n01 + (n11 - n01) * u.x;
	return (a + (b - a) * u.y) * 1.41f;
}

float fbm(vec2 p, int period, int octaves, uint32_t seed, float gain) {
	float sum = 0.0f, amp = 1.0f, norm = 0.0f;
	for (int i = 0; i < octaves; i++) {
		sum += pnoise(p, period, seed + i * 101) * amp;
		norm += amp;
		amp *= gain;
		p *= 2.0f;
		period *= 2;
	}
	return sum / norm;
}

vec2 worley(vec2 p, int period, uint32_t seed) {
	int cx = (int)std::floor(p.x), cy = (int)std::floor(p.y);
	float d1 = 9.0f, d2 = 9.0f;
	for (int j = -1; j <= 1; j++)
		for (int i = -1; i <= 1; i++) {
			uint32_t h = hash3(wrapi(cx + i, period), wrapi(cy + j, period), seed);
			vec2 fp(cx + i + (h & 0xffff) / 65536.0f, cy + j + (h >> 16) / 65536.0f);
			float d = glm::length(p - fp);
			if (d < d1) {
				d2 = d1;
				d1 = d;
			} else if (d < d2) {
				d2 = d;
			}
		}
	return vec2(d1, d2);
}

// --- shapes -----------------------------------------------------------------

float sd_circle(vec2 p, vec2 c, float r) { return glm::length(p - c) - r; }

float sd_box(vec2 p, vec2 c, vec2 half, float round) {
	vec2 d = glm::abs(p - c) - half + vec2(round);
	return glm::length(glm::max(d, vec2(0.0f))) + std::min(std::max(d.x, d.y), 0.0f) - round;
}

// Two circles and the lines tangent to them; y grows downwards, point at +y.
float sd_heart(vec2 p) {
	p.x = std::fabs(p.x);
	p.y = -p.y * 1.05f + 0.62f;
	if (p.y + p.x > 1.0f)
		return std::sqrt(glm::dot(p - vec2(0.25f, 0.75f), p - vec2(0.25f, 0.75f))) - 0.3535534f;
	float a = glm::dot(p - vec2(0.0f, 1.0f), p - vec2(0.0f, 1.0f));
	float m = std::max(p.x + p.y, 0.0f) * 0.5f;
	float b = glm::dot(p - vec2(m), p - vec2(m));
	float s = (p.x > p.y) ? 1.0f : -1.0f;
	return std::sqrt(std::min(a, b)) * s;
}

float cover(float d, float aa) { return clamp01(0.5f - d / aa); }
float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

float smooth(float e0, float e1, float x) {
	float t = clamp01((x - e0) / (e1 - e0));
	return t * t * (3.0f - 2.0f * t);
}

vec3 hex(uint32_t rgb) {
	return vec3((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255) / 255.0f;
}

vec3 mix3(vec3 a, vec3 b, float t) { return a + (b - a) * t; }

// --- filters ----------------------------------------------------------------

template <typename T>
static void blur_line(T* data, int n, int stride, int r, bool wrap, std::vector<T>& tmp) {
	tmp.resize(n);
	for (int i = 0; i < n; i++) tmp[i] = data[i * stride];
	auto get = [&](int i) {
		if (wrap) return tmp[wrapi(i, n)];
		return tmp[std::min(std::max(i, 0), n - 1)];
	};
	T sum = T(0);
	for (int i = -r; i <= r; i++) sum += get(i);
	float inv = 1.0f / (2 * r + 1);
	for (int i = 0; i < n; i++) {
		data[i * stride] = sum * inv;
		sum += get(i + r + 1) - get(i - r);
	}
}

template <typename T>
static void blur_any(std::vector<T>& v, int w, int h, int radius, int passes, bool wrap) {
	if (radius <= 0) return;
	std::vector<T> tmp;
	for (int p = 0; p < passes; p++) {
		for (int y = 0; y < h; y++) blur_line(&v[y * w], w, 1, radius, wrap, tmp);
		for (int x = 0; x < w; x++) blur_line(&v[x], h, w, radius, wrap, tmp);
	}
}

void blur(field_c& f, int radius, int passes, bool wrap) { blur_any(f.v, f.w, f.h, radius, passes, wrap); }
void blur(image_c& img, int radius, int passes, bool wrap) { blur_any(img.px, img.w, img.h, radius, passes, wrap); }

void unpremultiply(image_c& img, bool wrap) {
	image_c soft = img;
	blur(soft, 4, 2, wrap);
	for (size_t i = 0; i < img.px.size(); i++) {
		vec4& p = img.px[i];
		const vec4& s = soft.px[i];
		if (p.a > 0.02f)
			p = vec4(glm::min(vec3(p) / p.a, vec3(1.0f)), p.a);
		else
			p = vec4(s.a > 1e-4f ? glm::min(vec3(s) / s.a, vec3(1.0f)) : vec3(0.0f), p.a);
	}
}

// --- writers ----------------------------------------------------------------

static unsigned char byte(float x) {
	int v = (int)std::lround(clamp01(x) * 255.0f);
	return (unsigned char)v;
}

static std::vector<unsigned char> to_bytes(const image_c& img, int ch) {
	std::vector<unsigned char> out((size_t)img.w * img.h * ch);
	for (size_t i = 0; i < img.px.size(); i++)
		for (int c = 0; c < ch; c++) out[i * ch + c] = byte(img.px[i][c]);
	return out;
}

static void fail_write(const std::string& fn) {
	fprintf(stderr, "assetgen: cannot write %s\n", fn.c_str());
	exit(1);
}

void write_png(const std::string& fn, const image_c& img, bool alpha) {
	int ch = alpha ? 4 : 3;
	std::vector<unsigned char> b = to_bytes(img, ch);
	if (!stbi_write_png(fn.c_str(), img.w, img.h, ch, b.data(), img.w * ch)) fail_write(fn);
}

void write_jpg(const std::string& fn, const image_c& img, int quality) {
	std::vector<unsigned char> b = to_bytes(img, 3);
	if (!stbi_write_jpg(fn.c_str(), img.w, img.h, 3, b.data(), quality)) fail_write(fn);
}

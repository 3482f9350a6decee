// Surfaces and backdrops: rock and its normals, bubbles, denim, lace, roses,
// the white and dark backdrops, the polyhedron's background, facades.
// Every repeating picture is built from periodic noise or wrapped shapes.
#include <cmath>
#include <string>

#include "assetgen.h"
#include "common.h"

namespace {

const float PI = 3.14159265f;

// Draws a shape at its position and its eight wrapped copies.
template <typename F>
float wrapped_min(vec2 p, vec2 c, vec2 size, F sd) {
	float d = 1e9f;
	for (int j = -1; j <= 1; j++)
		for (int i = -1; i <= 1; i++) d = std::min(d, sd(p, c + vec2(i * size.x, j * size.y)));
	return d;
}

// --- rock -------------------------------------------------------------------

void rock(const std::string& dir) {
	const int N = 256;
	field_c hgt(N, N);
	shade(hgt, 1, [&](vec2 p) {
		vec2 q = p / (float)N * 4.0f;
		// warped, ridged noise for the body of the stone
		vec2 warp(fbm(q, 4, 3, 75), fbm(q + vec2(3.1f, 7.7f), 4, 3, 76));
		float body = fbm(q + warp * 0.6f, 4, 6, 71, 0.55f);
		float ridge = 1.0f - std::fabs(fbm(q * 0.5f + warp * 0.3f, 2, 5, 77));
		// irregular cracks that fade in and out
		vec2 cell = worley(p / (float)N * 5.0f + warp * 0.35f, 5, 72);
		float fade = smooth(-0.2f, 0.3f, fbm(q * 0.5f, 2, 3, 78));
		float crack = 1.0f - (1.0f - smooth(0.0f, 0.06f, cell.y - cell.x)) * fade;  // 0 in cracks
		vec2 fine = worley(p / (float)N * 24.0f, 24, 73);
		return body * 0.5f + ridge * ridge * 0.35f - (1.0f - crack) * 0.3f + 0.06f * fine.x;
	});
	image_c col(N, N), nor(N, N);
	for (int y = 0; y < N; y++)
		for (int x = 0; x < N; x++) {
			float dx = hgt.wrap(x + 1, y) - hgt.wrap(x - 1, y);
			float dy = hgt.wrap(x, y + 1) - hgt.wrap(x, y - 1);
			// Texture t runs up while file rows run down: flip the y slope.
			vec3 n = glm::normalize(vec3(-dx * 6.0f, dy * 6.0f, 1.0f));
			nor.at(x, y) = vec4(n * 0.5f + 0.5f, 1);
			float h = hgt.at(x, y);
			float tint = fbm(vec2(x, y) / (float)N * 3.0f, 3, 3, 74);
			vec3 base = mix3(vec3(0.30f, 0.27f, 0.25f), vec3(0.62f, 0.57f, 0.50f), clamp01(h * 0.8f + 0.45f));
			base = mix3(base, vec3(0.45f, 0.36f, 0.28f), clamp01(tint * 0.8f + 0.3f) * 0.5f);
			float light = clamp01(glm::dot(n, glm::normalize(vec3(-0.4f, 0.5f, 0.8f))));
			col.at(x, y) = vec4(base * (0.65f + 0.45f * light), 1);
		}
	write_jpg(dir + "/gfx/rock.jpg", col, 94);
	write_jpg(dir + "/gfx/rocknormal.jpg", nor, 96);
}

// --- bubbles ------------------------------------------------------------------
// Soap bubbles on rose; mixed with the denim and tinted orange on the phone.

void bubbles(const std::string& dir) {
	const int N = 256;
	rng_c rng(81);
	struct bub_s { vec2 c; float r; };
	std::vector<bub_s> list;
	for (int i = 0; i < 46; i++) list.push_back({vec2(rng.range(0, N), rng.range(0, N)), rng.range(5, 30)});
	image_c img(N, N);
	shade(img, 3, [&](vec2 p) {
		vec2 uv = p / (float)N;
		float n = fbm(uv * 4.0f, 4, 4, 82);
		// warm: the orange picture multiplies red up and blue away
		vec3 c = mix3(hex(0x7a1f3a), hex(0xe8467c), clamp01(0.45f + 0.5f * n));
		for (const bub_s& b : list) {
			float d = wrapped_min(p, b.c, vec2(N), [&](vec2 q, vec2 cc) { return sd_circle(q, cc, b.r); });
			if (d > 2.0f) continue;
			// rim, a faint fill and a highlight up-left
			vec2 rel = p - b.c;
			rel = rel - vec2(N) * glm::round(rel / (float)N);
			float rim = cover(std::fabs(d + 1.2f) - 1.0f, 1.0f);
			float fill = cover(d, 1.0f) * 0.12f;
			float hl = cover(sd_circle(rel, vec2(-b.r * 0.4f, -b.r * 0.4f), b.r * 0.22f), 1.0f);
			c = mix3(c, vec3(1.0f, 0.9f, 0.8f), fill + rim * 0.7f + hl * 0.8f);
		}
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/bubbles.jpg", img);
}

// --- denim --------------------------------------------------------------------

void jeans(const std::string& dir) {
	const int N = 256, T = 4;  // thread width in pixels; 64 threads per tile
	image_c img(N, N);
	shade(img, 2, [&](vec2 p) {
		int i = (int)std::floor(p.x / T), j = (int)std::floor(p.y / T);
		vec2 f = vec2(p.x / T - i, p.y / T - j);
		// 3/1 twill: the warp crosses over three wefts and under one
		bool warp = ((i - j) % 4 + 4) % 4 != 0;
		float across = warp ? f.x : f.y;
		float round = std::sin(across * PI);
		float var = pnoise(vec2(warp ? i : j, 0.5f) * 0.5f, 32, warp ? 91 : 92);
		vec2 uv = p / (float)N;
		float fade = fbm(uv * 4.0f, 4, 4, 93);
		vec3 blue = mix3(hex(0x1a2f5c), hex(0x3e5f95), clamp01(0.4f + var * 0.6f + fade * 0.5f));
		vec3 white = mix3(hex(0xb9c3d6), hex(0xe8ecf3), clamp01(0.5f + var));
		vec3 c = (warp ? blue : white) * (0.55f + 0.5f * round);
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/jeans.jpg", img);
}

// --- lace ---------------------------------------------------------------------

// Lace on a square lattice: rosettes of petals, rings and a fine net.
float lace_at(vec2 p, float N) {
	float cell = N / 2.0f;
	vec2 q = p / cell;
	vec2 c = glm::floor(q) + vec2(0.5f);
	vec2 l = (q - c) * cell;  // local pixels from rosette centre
	vec2 l2 = (q - glm::floor(q)) * cell;  // from the cell corner: second rosette
	l2 = l2 - vec2(cell) * glm::round(l2 / cell);
	float v = 0.0f;
	auto rosette = [&](vec2 r, float scale) {
		float rad = glm::length(r) / scale, ang = std::atan2(r.y, r.x);
		float petals = std::fabs(rad - (28.0f + 8.0f * std::cos(ang * 8.0f))) - 2.2f;
		float ring = std::fabs(rad - 12.0f) - 2.0f;
		float ring2 = std::fabs(rad - 42.0f) - 1.6f;
		float spokes = std::fabs(std::sin(ang * 8.0f)) * rad - 1.6f;
		spokes = std::max(spokes, std::max(rad - 40.0f, 14.0f - rad));
		float dot = rad - 4.0f;
		float d = std::min(std::min(petals, ring), std::min(std::min(ring2, spokes), dot));
		return cover(d * scale, 1.2f);
	};
	v = std::max(rosette(l, 1.0f), rosette(l2, 0.55f));
	// hexagonal net in the gaps
	float s = N / 24.0f;  // a whole number of net cells per tile
	vec2 h = p / s;
	float a = std::fabs(std::sin(PI * (h.x + h.y * 0.5f))), b = std::fabs(std::sin(PI * (h.x - h.y * 0.5f)));
	float net = cover(std::min(a, b) * s * 0.32f - 0.7f, 1.0f) * 0.7f;
	return std::max(v, net);
}

void lace(const std::string& dir) {
	const int N = 256;
	image_c img(N, N);
	shade(img, 3, [&](vec2 p) {
		float v = lace_at(p, (float)N);
		return vec4(v, v * 0.94f, v * 0.86f, 1);
	});
	write_jpg(dir + "/gfx/lacetrace.jpg", img, 94);
}

// --- roses --------------------------------------------------------------------

struct rose_s { vec2 c; float r, turn; };

// Colour and coverage of one rose: spiral petals darker towards the heart.
vec4 rose_at(vec2 p, const rose_s& r) {
	vec2 d = p - r.c;
	float rad = glm::length(d) / r.r, ang = std::atan2(d.y, d.x) + r.turn;
	float edge = 1.0f + 0.08f * std::cos(ang * 5.0f);
	float inside = clamp01((edge - rad) * r.r * 0.7f);
	if (inside <= 0.0f) return vec4(0.0f);
	float spiral = std::fmod(std::log(std::max(rad, 0.02f)) * 2.2f - ang / (2.0f * PI) * 1.0f + 20.0f, 1.0f);
	float fold = smooth(0.0f, 0.18f, spiral) * (1.0f - smooth(0.75f, 1.0f, spiral));
	vec3 base = mix3(hex(0x7a0f33), hex(0xe8467c), clamp01(rad * 1.1f));
	base = mix3(base, hex(0xffb3c9), clamp01((rad - 0.6f) * 1.5f) * 0.5f * fold);
	base *= 0.55f + 0.5f * fold;
	return vec4(base, inside);
}

vec4 leaf_at(vec2 p, vec2 c, float ang, float size) {
	vec2 d = p - c;
	vec2 q(d.x * std::cos(ang) + d.y * std::sin(ang), -d.x * std::sin(ang) + d.y * std::cos(ang));
	q /= size;
	float sd = glm::length(vec2(q.x * 0.5f, q.y * 1.1f)) - 0.5f + std::fabs(q.x) * 0.12f;
	float a = clamp01(-sd * size * 0.8f);
	if (a <= 0.0f) return vec4(0.0f);
	float vein = cover(std::fabs(q.y) * size - 0.8f, 1.0f);
	vec3 c3 = mix3(hex(0x1d5a2a), hex(0x4f9a45), clamp01(0.5f - q.y * 0.6f));
	c3 = mix3(c3, hex(0x8fcf7a), vein * 0.4f);
	return vec4(c3, a);
}

void roses(const std::string& dir) {
	const int W = 512, H = 256;
	rng_c rng(101);
	std::vector<rose_s> list;
	std::vector<vec4> leaves;  // x, y, angle, size
	for (int i = 0; i < 4; i++) {
		float x = (i + 0.5f) * W / 4.0f + rng.range(-12, 12);
		float y = H * 0.5f + rng.range(-20, 20);
		float r = rng.range(44, 58);
		for (int k = 0; k < 3; k++) {
			float a = rng.range(0, 2 * PI);
			leaves.push_back(vec4(x + std::cos(a) * r * 1.15f, y + std::sin(a) * r * 0.9f, a, rng.range(22, 30)));
		}
		list.push_back({vec2(x, y), r, rng.range(0, 2 * PI)});
	}
	image_c img(W, H, vec4(0.0f));
	shade(img, 3, [&](vec2 p) {
		vec4 acc(0.0f);
		auto put = [&](vec4 c) {
			vec3 rgb = vec3(c) * c.a + vec3(acc) * (1.0f - c.a);
			acc = vec4(rgb, c.a + acc.a * (1.0f - c.a));
		};
		for (const vec4& l : leaves)
			for (int w = -1; w <= 1; w++) put(leaf_at(p, vec2(l.x + w * W, l.y), l.z, l.w));
		for (const rose_s& r : list)
			for (int w = -1; w <= 1; w++) {
				rose_s rr = r;
				rr.c.x += w * W;
				put(rose_at(p, rr));
			}
		return acc;  // premultiplied
	});
	unpremultiply(img, true);
	// The edges stay transparent top and bottom, so it repeats both ways.
	for (int x = 0; x < W; x++) {
		img.at(x, 0).a = 0.0f;
		img.at(x, H - 1).a = 0.0f;
	}
	write_png(dir + "/gfx/roses.png", img, true);
}

// --- backdrops ----------------------------------------------------------------

void whiteback(const std::string& dir) {
	const int N = 256;
	image_c img(N, N);
	shade(img, 2, [&](vec2 p) {
		vec2 uv = p / (float)N;
		float n = fbm(uv * 2.0f, 2, 4, 111);
		vec2 cell = worley(uv * 4.0f, 4, 112);
		float soft = smooth(0.0f, 0.25f, cell.y - cell.x);
		float v = 0.955f + 0.03f * n - 0.018f * (1.0f - soft);
		return vec4(v, v, v * 1.005f + 0.004f, 1);
	});
	write_jpg(dir + "/gfx/whiteback.jpg", img, 95);
}

// Night behind the city: brushed dark metal under a sky, its warm glow on
// the horizon at texture (0.5, 0.2), i.e. 0.8 of the height from the top.
void darkmetal(const std::string& dir) {
	const int W = 1024, H = 512;
	image_c img(W, H);
	shade(img, 1, [&](vec2 p) {
		vec2 uv = p / vec2(W, H);
		vec2 g = vec2(0.5f, 0.8f);
		float horizon = uv.y - g.y;
		vec3 sky = mix3(hex(0x05060f), hex(0x2a1f4f), clamp01(1.0f + horizon * 1.6f));
		float brushed = fbm(vec2(uv.x * 2.0f, uv.y * 120.0f), 2, 4, 121) * 0.5f + 0.5f;
		vec3 metal = mix3(hex(0x0b0d18), hex(0x1c2238), brushed) * (1.0f - horizon * 3.0f);
		vec3 c = horizon < 0.0f ? sky : mix3(sky, metal, smooth(0.0f, 0.02f, horizon));
		vec2 d = (uv - g) * vec2(W / (float)H, 1.0f);
		float glow = std::exp(-glm::dot(d, d) * 9.0f);
		float band = std::exp(-horizon * horizon * 900.0f) * std::exp(-d.x * d.x * 1.5f);
		c += hex(0xff8a1f) * glow * 0.55f + hex(0xffc24a) * band * 0.45f;
		c += hex(0x2a1f4f) * 0.3f * std::exp(-glm::dot(d, d) * 2.0f);
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/darkmetal.jpg", img);
}

// Warm and dark behind the green-blue polyhedron, softly swirling.
void pb(const std::string& dir) {
	const int W = 1024, H = 576;
	image_c img(W, H);
	shade(img, 1, [&](vec2 p) {
		vec2 uv = p / vec2(W, H);
		vec2 c = (uv - vec2(0.5f)) * vec2(W / (float)H, 1.0f);
		vec2 warp(fbm(uv * 3.0f, 64, 4, 131), fbm(uv * 3.0f + vec2(5.2f, 1.3f), 64, 4, 132));
		float swirl = fbm(uv * 2.5f + warp * 1.2f, 64, 5, 133);
		float r = glm::length(c);
		vec3 col = mix3(hex(0x3a0e08), hex(0x8a3a10), clamp01(1.0f - r * 1.3f));
		col = mix3(col, hex(0xd9851f), clamp01(swirl * 0.9f + 0.2f) * clamp01(1.0f - r) * 0.55f);
		float rings = 0.5f + 0.5f * std::sin(r * 40.0f - swirl * 6.0f);
		col *= 0.9f + 0.12f * rings;
		col *= 1.0f - 0.5f * r * r;
		return vec4(col, 1);
	});
	write_jpg(dir + "/gfx/pb.jpg", img);
}

// --- facades ------------------------------------------------------------------

// 8 window columns × 16 floors per tile; alpha is the window light.
void facades(const std::string& dir) {
	const int N = 512, CW = 64, CH = 32;
	image_c img(N, N);
	shade(img, 2, [&](vec2 p) {
		int i = (int)(p.x / CW), j = (int)(p.y / CH);
		vec2 f = vec2(p.x - i * CW, p.y - j * CH);
		uint32_t h = hash3(i, j, 141);
		vec2 uv = p / (float)N;
		float grime = fbm(uv * 8.0f, 8, 4, 142);
		vec3 wall = mix3(hex(0x56627a), hex(0x8090a8), clamp01(0.5f + grime * 0.6f));
		// floor slab and pilasters
		if (f.y > CH - 4) wall *= 0.7f;
		if (f.x < 3 || f.x > CW - 3) wall *= 0.8f;
		float win = sd_box(f, vec2(CW * 0.5f, CH * 0.46f), vec2(CW * 0.36f, CH * 0.3f), 1.0f);
		float in = cover(win, 1.0f);
		bool lit = (h % 100) < 42;
		float glow = lit ? 0.6f + 0.4f * ((h >> 8) % 100) / 100.0f : 0.0f;
		vec3 warm = ((h >> 16) % 5 == 0) ? hex(0xfff1d6) : mix3(hex(0xff8a1f), hex(0xffc24a), ((h >> 20) % 100) / 100.0f);
		// blinds: lit windows with a darker band at the top
		float blind = (lit && (h >> 24) % 3 == 0) ? smooth(0.4f * CH, 0.3f * CH, f.y) * 0.6f : 0.0f;
		vec3 glass = mix3(hex(0x0d1424), hex(0x28324a), clamp01(1.0f - f.y / CH));
		vec3 wc = lit ? warm * (1.0f - blind) * glow : glass;
		vec3 c = mix3(wall, wc, in);
		float frame = cover(std::fabs(win) - 1.0f, 1.0f);
		c = mix3(c, hex(0x2a3142), frame * 0.8f);
		float a = in * glow * (1.0f - blind * 0.8f);
		return vec4(c, a);
	});
	write_png(dir + "/gfx/city08_diffuse.png", img, true);
}

}  // namespace

void gen_materials(const std::string& dir) {
	rock(dir);
	bubbles(dir);
	jeans(dir);
	lace(dir);
	roses(dir);
	whiteback(dir);
	darkmetal(dir);
	pb(dir);
	facades(dir);
}

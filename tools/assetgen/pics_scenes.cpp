// Illustrations and sprites: the sculpted face and its backdrop, the misty
// forest, the striking picture, the two juice pictures, heart, gear, ball
// and the phone's skin.
#include <cmath>
#include <string>

#include "assetgen.h"
#include "common.h"
#include "text.h"

namespace {

const float PI = 3.14159265f;

float bump(vec2 p, vec2 c, vec2 r) {
	vec2 d = (p - c) / r;
	return std::exp(-glm::dot(d, d));
}

// --- face -------------------------------------------------------------------

// Height of a serene, sculpted mask; p in face units (y down, chin at +1).
float face_height(vec2 p) {
	// wide at the cheekbones, tapering to the jaw and chin
	float wx = 0.68f - 0.26f * smooth(0.15f, 1.0f, p.y) - 0.06f * smooth(-0.2f, -1.0f, p.y);
	vec2 e(p.x / wx, (p.y + 0.05f) / 1.02f);
	float head = std::pow(std::max(0.0f, 1.0f - glm::dot(e, e)), 0.35f);
	float h = head * 0.75f;
	for (int s = -1; s <= 1; s += 2) {
		float x = s * 0.29f;
		h -= 0.2f * bump(p, vec2(x, -0.12f), vec2(0.17f, 0.12f));       // eye socket
		h += 0.09f * bump(p, vec2(x, -0.1f), vec2(0.11f, 0.06f));       // closed lid
		h -= 0.025f * bump(p, vec2(x, -0.075f), vec2(0.12f, 0.012f));   // lid crease
		h += 0.07f * bump(p, vec2(x * 0.9f, -0.3f), vec2(0.2f, 0.05f)); // brow
		h += 0.06f * bump(p, vec2(s * 0.36f, 0.15f), vec2(0.14f, 0.1f));// cheekbone
		h -= 0.05f * bump(p, vec2(s * 0.3f, 0.42f), vec2(0.1f, 0.18f));  // cheek hollow
		h += 0.03f * bump(p, vec2(s * 0.09f, 0.31f), vec2(0.05f, 0.04f));// nostril
	}
	// nose ridge growing to the tip
	float t = clamp01((p.y + 0.2f) / 0.5f);
	h += (0.06f + 0.22f * t * t) * std::exp(-p.x * p.x / (0.0036f + 0.004f * t)) * (p.y > -0.25f && p.y < 0.34f ? 1.0f : 0.0f) *
		smooth(-0.25f, -0.15f, p.y) * (1.0f - smooth(0.28f, 0.34f, p.y));
	// lips and the line between them
	h += 0.06f * bump(p, vec2(0, 0.47f), vec2(0.17f, 0.04f));
	h += 0.07f * bump(p, vec2(0, 0.56f), vec2(0.15f, 0.05f));
	h -= 0.03f * bump(p, vec2(0, 0.515f), vec2(0.19f, 0.01f));
	h += 0.05f * bump(p, vec2(0, 0.82f), vec2(0.16f, 0.08f));        // chin
	return h;
}

void face(const std::string& dir) {
	const int W = 854, H = 500;
	const float S = 215.0f;            // pixels per face unit
	const vec2 centre(427, 240);
	image_c img(W, H);
	vec3 key = glm::normalize(vec3(-0.55f, -0.6f, 0.6f));
	vec3 rim = glm::normalize(vec3(0.8f, 0.1f, 0.3f));
	shade(img, 2, [&](vec2 px) {
		vec2 uv = px / vec2(W, H);
		vec2 p = (px - centre) / S;
		// backdrop: violet night with a warm halo ring behind the head
		float r = glm::length((px - centre) / vec2(H, H));
		vec3 bg = mix3(hex(0x2a1f4f), hex(0x05060f), clamp01(r * 1.3f));
		bg += hex(0xff8a1f) * 0.5f * std::exp(-std::pow((r - 0.47f) * 22.0f, 2.0f));
		bg += hex(0xe8467c) * 0.25f * std::exp(-std::pow((r - 0.52f) * 10.0f, 2.0f));
		bg += vec3(0.03f) * fbm(uv * 6.0f, 6, 4, 151);
		float h = face_height(p);
		if (h <= 0.0f) return vec4(bg, 1);
		const float e = 0.004f;
		float hx = face_height(p + vec2(e, 0)) - face_height(p - vec2(e, 0));
		float hy = face_height(p + vec2(0, e)) - face_height(p - vec2(0, e));
		// y grows down in p; the light's y is "up" = negative p.y
		vec3 n = glm::normalize(vec3(-hx / (2 * e), hy / (2 * e), 1.0f));
		vec3 l = vec3(key.x, -key.y, key.z);
		float diff = clamp01(glm::dot(n, l));
		float shine = std::pow(clamp01(glm::dot(glm::reflect(-l, n), vec3(0, 0, 1))), 24.0f);
		float rl = std::pow(clamp01(glm::dot(n, rim)), 3.0f);
		float cavity = clamp01(h * 3.0f);
		vec3 albedo = mix3(hex(0xff8a1f), hex(0xffc24a), clamp01(0.5f - p.y * 0.5f));
		vec3 c = albedo * (0.18f + 0.95f * diff) * (0.6f + 0.4f * cavity) + vec3(1.0f, 0.95f, 0.8f) * shine * 0.6f +
			hex(0x8a6bff) * rl * 0.6f;
		float edge = smooth(0.0f, 0.06f, h);
		return vec4(mix3(bg, c, edge), 1);
	});
	write_jpg(dir + "/gfx/face.jpg", img);
}

// Before the face: a violet nebula with soft rays.
void kallotausta(const std::string& dir) {
	const int W = 854, H = 500;
	image_c img(W, H);
	shade(img, 1, [&](vec2 px) {
		vec2 uv = px / vec2(W, H);
		vec2 c = (px - vec2(427, 240)) / (float)H;
		float r = glm::length(c), a = std::atan2(c.y, c.x);
		float neb = fbm(uv * vec2(3.0f, 2.0f) + vec2(fbm(uv * 2.0f, 64, 3, 161)), 64, 5, 162);
		vec3 col = mix3(hex(0x05060f), hex(0x2a1f4f), clamp01(0.6f - r + neb * 0.5f));
		col += hex(0x141a3a) * clamp01(neb + 0.3f);
		float rays = std::pow(0.5f + 0.5f * std::sin(a * 9.0f + neb * 2.0f), 6.0f) * std::exp(-r * 3.0f);
		col += hex(0xffc24a) * rays * 0.25f + hex(0xff8a1f) * std::exp(-r * r * 30.0f) * 0.35f;
		uint32_t s = hash3((int)px.x, (int)px.y, 163);
		if (s % 1400 == 0) col += vec3(0.7f, 0.75f, 0.9f) * (float)((s >> 12) % 100) / 100.0f;
		return vec4(col, 1);
	});
	write_jpg(dir + "/gfx/kallotausta.jpg", img);
}

// --- forest -------------------------------------------------------------------

// Whether a point lies in the firs of one layer: each tree narrows to its
// tip in jagged tiers of branches; below the base line is forest floor.
bool in_firs(vec2 p, int layer, float base, float spacing) {
	float h = base - p.y;
	if (h < 0.0f) return true;
	int i0 = (int)std::floor(p.x / spacing);
	for (int i = i0 - 2; i <= i0 + 2; i++) {
		uint32_t r = hash3(i, layer, 171);
		float cx = (i + 0.5f + ((r & 255) / 255.0f - 0.5f) * 0.7f) * spacing;
		float tall = spacing * (2.6f + ((r >> 8) & 255) / 255.0f * 2.2f);
		if (h >= tall) continue;
		float rel = h / tall;
		float tiers = 6.0f + (r >> 16) % 4;
		float saw = std::fmod(rel * tiers + 0.3f * ((r >> 20) & 3), 1.0f);
		float half = spacing * 0.62f * (1.0f - rel) * (0.6f + 0.4f * (1.0f - saw));
		half = std::max(half, rel < 0.12f ? spacing * 0.05f : 0.0f);  // trunk
		if (std::fabs(p.x - cx) < half) return true;
	}
	return false;
}

void woods(const std::string& dir) {
	const int W = 1024, H = 576;
	image_c img(W, H);
	const vec2 sun(0.62f, 0.40f);
	shade(img, 2, [&](vec2 px) {
		vec2 uv = px / vec2(W, H);
		vec3 sky = mix3(hex(0xffc24a), hex(0x2a1f4f), smooth(0.2f, 0.85f, 1.0f - uv.y * 1.25f));
		sky = mix3(sky, hex(0xffe2b0), std::exp(-glm::dot(uv - sun, uv - sun) * 40.0f));
		// light shafts from the low sun, in the air only
		vec2 d = uv - sun;
		float shaft = std::pow(0.5f + 0.5f * std::sin(std::atan2(d.y, d.x) * 23.0f), 8.0f) * clamp01(d.y * 4.0f) *
			(1.0f - smooth(0.5f, 0.75f, uv.y));
		vec3 c = sky + hex(0xffc24a) * shaft * 0.1f;
		const int layers = 6;
		for (int L = 0; L < layers; L++) {
			float depth = (float)L / (layers - 1);  // 0 far, 1 near
			float base = H * (0.55f + 0.42f * depth * depth) + 14.0f * pnoise(vec2(px.x / 260.0f, L), 64, 172);
			float spacing = 16.0f + 60.0f * depth * depth;
			float cov = in_firs(px + vec2(L * 137.0f, 0.0f), L, base, spacing) ? 1.0f : 0.0f;
			vec3 tree = mix3(mix3(sky, hex(0x5a4a7a), 0.55f), hex(0x0b1016), std::pow(depth, 0.7f));
			c = mix3(c, tree, cov);
			// mist pooling above each layer's floor
			float mist = std::exp(-std::pow((px.y - base + 12.0f) / (30.0f + 40.0f * depth), 2.0f)) *
				(0.35f + 0.3f * fbm(uv * vec2(3.0f, 8.0f) + vec2(L * 0.3f, 0), 64, 3, 173 + L));
			c = mix3(c, mix3(sky, vec3(0.95f, 0.9f, 0.95f), 0.4f), clamp01(mist) * (1.0f - depth * 0.55f));
		}
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/woods.jpg", img);
}

// --- the striking picture -------------------------------------------------------

void ripsilu(const std::string& dir) {
	const int W = 1024, H = 576;
	image_c img(W, H);
	shade(img, 2, [&](vec2 px) {
		vec2 c = (px - vec2(W * 0.5f, H * 0.5f)) / (float)H;
		float r = glm::length(c), a = std::atan2(c.y, c.x);
		float rays = 0.5f + 0.5f * std::sin(a * 16.0f);
		vec3 col = mix3(hex(0xe8467c), hex(0xff8a1f), smooth(0.3f, 0.7f, rays));
		col *= 0.55f + 0.6f * std::exp(-r * 1.5f);
		// halftone dots fading outwards
		vec2 g = px / 12.0f;
		float dotr = 0.45f * clamp01(r * 1.2f);
		float dots = cover(glm::length(g - glm::floor(g) - vec2(0.5f)) - dotr, 0.1f);
		col = mix3(col, hex(0x2a1f4f), dots * 0.6f);
		// the eclipse: a black disc in a white-gold corona
		float disc = r - 0.26f;
		col += hex(0xffe6a8) * std::exp(-std::max(disc, 0.0f) * 14.0f) * 1.2f;
		col += vec3(1.0f) * std::exp(-std::pow(disc * 90.0f, 2.0f));
		col = mix3(col, hex(0x05060f), cover(disc * H, 1.5f));
		return vec4(glm::min(col, vec3(1.0f)), 1);
	});
	write_jpg(dir + "/gfx/ripsilu.jpg", img);
}

// --- juice pair -----------------------------------------------------------------

// The pair is summed with 0.5 taken off: the steady picture carries the
// colour, the wobbling one is mid-grey with bright lettering and streaks.
void mujuice(const std::string& dir) {
	const int W = 512, H = 256;
	field_c ink(W, H);
	text_center(ink, FONT_BOLD, "\xce\xbc", 105, 190, 190);
	text_center(ink, FONT_BOLD_CONDENSED, "JUICE", 330, 165, 110);
	field_c glow = ink;
	blur(glow, 6, 3, false);
	image_c wob(W, H), base(W, H);
	shade(wob, 1, [&](vec2 px) {
		int x = (int)px.x, y = (int)px.y;
		float streak = 0.06f * std::sin(px.y * 0.35f) * std::exp(-std::pow((px.y - 200.0f) / 30.0f, 2.0f));
		vec3 v = vec3(0.5f + streak) + vec3(0.5f, 0.45f, 0.33f) * ink.at(x, y) + vec3(0.12f, 0.08f, 0.02f) * glow.at(x, y);
		return vec4(v, 1);
	});
	rng_c rng(181);
	std::vector<vec3> drops;
	for (int i = 0; i < 18; i++) drops.push_back(vec3(rng.range(0, W), rng.range(0, H), rng.range(6, 26)));
	shade(base, 2, [&](vec2 px) {
		vec2 uv = px / vec2(W, H);
		float band = 0.5f + 0.5f * std::sin((uv.x * 1.2f + uv.y * 0.8f) * 6.0f + fbm(uv * 3.0f, 64, 3, 182) * 2.0f);
		vec3 c = mix3(hex(0x8a2a5a), hex(0xd9651a), band) * 0.55f;
		c = mix3(c, hex(0x2a1f4f) * 0.8f, smooth(0.6f, 1.0f, uv.y) * 0.6f);
		for (const vec3& d : drops) {
			float sd = sd_circle(px, vec2(d.x, d.y), d.z);
			c = mix3(c, hex(0xffc24a) * 0.6f, cover(sd, 1.0f) * 0.5f);
			c += vec3(0.25f) * cover(std::fabs(sd) - 1.0f, 1.0f);
		}
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/mujuice.jpg", wob);
	write_jpg(dir + "/gfx/mujuice2.jpg", base);
}

// --- sprites ------------------------------------------------------------------

void heart(const std::string& dir) {
	const int N = 512;
	image_c img(N, N);
	shade(img, 3, [&](vec2 px) {
		vec2 p = (px - vec2(N * 0.5f, N * 0.47f)) / (N * 0.36f);
		float d = sd_heart(p);
		float a = cover(d * N * 0.36f, 1.0f);
		float glow = std::exp(-std::max(d, 0.0f) * 9.0f) * 0.55f;
		// fake depth from the distance inside
		float in = clamp01(-d * 3.0f);
		vec2 hl = p - vec2(-0.28f, -0.22f);
		float shine = std::exp(-glm::dot(hl, hl) * 30.0f);
		vec3 c = mix3(hex(0x7a0f33), hex(0xe8467c), std::sqrt(in)) + vec3(1.0f, 0.85f, 0.9f) * shine * 0.8f;
		vec3 g = hex(0xe8467c);
		float alpha = a + glow * (1.0f - a);
		vec3 rgb = c * a + g * glow * (1.0f - a);
		return vec4(rgb, alpha);  // premultiplied
	});
	unpremultiply(img);
	write_png(dir + "/gfx/heart.png", img, true);
}

void gear(const std::string& dir) {
	const int N = 512;
	const int teeth = 14;
	image_c img(N, N);
	shade(img, 3, [&](vec2 px) {
		vec2 p = (px - vec2(N * 0.5f)) / (N * 0.5f);
		float r = glm::length(p), a = std::atan2(p.y, p.x);
		// teeth: a trapezoid wave on the rim
		float w = std::fmod(a / (2 * PI) * teeth + 100.0f, 1.0f);
		float tooth = smooth(0.1f, 0.25f, w) * (1.0f - smooth(0.55f, 0.7f, w));
		float outer = 0.8f + 0.14f * tooth;
		float d = r - outer;
		d = std::max(d, 0.16f - r);                             // axle hole
		float spokes = 1.0f;
		for (int k = 0; k < 5; k++) {
			float ang = k * 2 * PI / 5 + PI / 10;
			vec2 c(std::cos(ang) * 0.47f, std::sin(ang) * 0.47f);
			spokes = std::min(spokes, sd_circle(p, c, 0.15f));
		}
		d = std::max(d, -spokes);
		float cov = cover(d * N * 0.5f, 1.0f);
		float ring = std::exp(-std::pow((r - 0.66f) * 30.0f, 2.0f)) + std::exp(-std::pow((r - 0.25f) * 30.0f, 2.0f));
		float brushed = 0.5f + 0.5f * std::sin(a * 40.0f + fbm(p * 4.0f, 64, 3, 191) * 3.0f);
		float light = 0.6f + 0.4f * (-p.x - p.y) * 0.7f;
		vec3 c = mix3(hex(0x9a7a3a), hex(0xffc24a), brushed * 0.5f + 0.25f) * light;
		c += vec3(1.0f, 0.9f, 0.7f) * ring * 0.25f;
		c *= 0.75f + 0.25f * cover(-d * N * 0.5f - 6.0f, 4.0f);   // bevelled rim
		return vec4(c * cov, cov);
	});
	unpremultiply(img);
	write_png(dir + "/gfx/gear.png", img, true);
}

// Glowing ball: opaque core (alpha ≥ 0.5 inside the ball), fading halo.
void dot(const std::string& dir) {
	const int N = 64;
	image_c img(N, N);
	shade(img, 4, [&](vec2 px) {
		vec2 p = (px - vec2(N * 0.5f)) / (N * 0.5f);
		float r = glm::length(p);
		const float ball = 0.6f;
		float core = cover((r - ball) * N * 0.5f, 1.0f);
		float halo = 0.5f * std::pow(clamp01((1.0f - r) / (1.0f - ball)), 2.0f);
		float a = core + halo * (1.0f - core);
		vec3 c = mix3(vec3(1.0f, 0.97f, 0.85f), hex(0xff8a1f), smooth(0.0f, ball, r));
		c = mix3(c, hex(0xffc24a), clamp01((r - ball) * 3.0f));
		return vec4(c * a, a);
	});
	unpremultiply(img);
	write_png(dir + "/gfx/dot.png", img, true);
}

// --- the phone's skin ---------------------------------------------------------

void phone_skin(const std::string& dir) {
	const int N = 512;
	using namespace phone;
	field_c logo(N, N);
	// "QVD" on the back, upright when the phone lies face down
	text_center(logo, FONT_BOLD, "QVD", N * 0.75f, N * 0.5f + 120, 40);
	image_c img(N, N);
	vec3 body = hex(0x19b5d8);
	shade(img, 2, [&](vec2 px) {
		float u = px.x / N, v = 1.0f - px.y / N;
		float grain = 0.03f * fbm(vec2(u, v) * 16.0f, 16, 3, 201);
		if (u < 0.5f) {
			// side strip: back (v = 0) to front (v = 1)
			vec3 c = body * (0.95f + grain + 0.1f * v);
			c = mix3(c, hex(0x0a0a0c), smooth(glass_from - 0.005f, glass_from + 0.005f, v));
			c = mix3(c, vec3(0.3f), std::exp(-std::pow((v - glass_from) * 300.0f, 2.0f)) * 0.6f);
			return vec4(c, 1);
		}
		float x = (u - 0.75f) * 4.0f * body_x;             // model x
		if (v >= 0.5f) {
			float y = body_y0 + (v - 0.5f) * 2.0f * (body_y1 - body_y0);
			vec3 c = hex(0x07080b) + vec3(0.05f) * clamp01(1.0f - (x + y * 0.3f + 20.0f) / 80.0f);
			// speaker slot and front camera above the screen
			float slot = sd_box(vec2(x, y), vec2(0, 112.0f), vec2(7.0f, 0.7f), 0.7f);
			c = mix3(c, vec3(0.2f, 0.22f, 0.25f), cover(slot, 0.3f));
			float cam = sd_circle(vec2(x, y), vec2(13.0f, 112.0f), 1.4f);
			c = mix3(c, vec3(0.12f, 0.14f, 0.2f), cover(cam, 0.3f));
			c += vec3(0.3f, 0.4f, 0.6f) * cover(sd_circle(vec2(x, y), vec2(12.6f, 112.4f), 0.4f), 0.3f);
			return vec4(c, 1);
		}
		// back: mirrored so that it reads right from behind
		x = -x;
		float y = body_y0 + v * 2.0f * (body_y1 - body_y0);
		vec3 c = body * (0.9f + grain);
		float win = sd_box(vec2(x, y), vec2(0, 104), vec2(9, 5.5f), 2.5f);
		c = mix3(c, vec3(0.03f), cover(win, 0.3f));
		float lens = std::fabs(sd_circle(vec2(x, y), vec2(-3.5f, 104), 3.0f)) - 0.5f;
		c = mix3(c, vec3(0.55f), cover(lens, 0.3f));
		float flash = sd_circle(vec2(x, y), vec2(4.5f, 104), 1.5f);
		c = mix3(c, vec3(1.0f, 0.95f, 0.8f), cover(flash, 0.3f));
		c = mix3(c, body * 0.7f, logo.at((int)px.x, (int)px.y) * 0.8f);
		return vec4(c, 1);
	});
	write_png(dir + "/gfx/N9_uv.png", img, true);
}

}  // namespace

void gen_scenes(const std::string& dir) {
	face(dir);
	kallotausta(dir);
	woods(dir);
	ripsilu(dir);
	mujuice(dir);
	heart(dir);
	gear(dir);
	dot(dir);
	phone_skin(dir);
}

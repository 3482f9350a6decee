// Pictures made of lettering: the character sheet, the credits sheet, the
// group logo, the heart's words, the call screen and the home screen.
#include <algorithm>
#include <cmath>
#include <string>

#include "assetgen.h"
#include "common.h"
#include "text.h"

namespace {

// Glyph order of the sheet: 97 cells, the rest of the 128 stay empty.
std::u32string sheet_order() {
	std::u32string s = U"@abcdefghijklmnopqrstuvwxyz[$]^^ ";
	for (char32_t c = U'!'; c <= U'?'; c++) s += c;
	s += U"-ABCDEFGHIJKLMNOPQRSTUVWXYZ+ | ";
	s += U" ";
	s += (char32_t)0xA8;
	return s;
}

// Lighting of lettering from its blurred coverage: a bevel lit from the
// upper left.
float bevel(const field_c& soft, int x, int y) {
	float gx = soft.clamped(x + 1, y) - soft.clamped(x - 1, y);
	float gy = soft.clamped(x, y + 1) - soft.clamped(x, y - 1);
	vec3 n = glm::normalize(vec3(-gx * 6.0f, -gy * 6.0f, 1.0f));
	return glm::dot(n, glm::normalize(vec3(-0.5f, -0.7f, 0.6f)));
}

// --- chargen ----------------------------------------------------------------

const int cell_w = 32, cell_h = 128;

// Samples the big glyph bitmap for one cell pixel position.
void draw_cell(image_c& img, int col, int row, const glyph_s& g, float scale_x, float scale_y,
	float pen_x, float base_y) {
	field_c cov(cell_w, cell_h);
	shade(cov, 4, [&](vec2 p) {
		// cell pixel -> big glyph bitmap pixel
		float gx = (p.x - pen_x) / scale_x - g.left;
		float gy = (p.y - base_y) / scale_y + g.top;
		if (gx < -1 || gy < -1 || gx > g.bmp.w + 1 || gy > g.bmp.h + 1) return 0.0f;
		float v = g.bmp.bilinear(gx, gy, false);
		if (gx < 0 || gy < 0 || gx >= g.bmp.w || gy >= g.bmp.h) v = 0.0f;
		return v;
	});
	// Keep ink inside the sampled insets whatever the glyph does.
	for (int y = 0; y < cell_h; y++)
		for (int x = 0; x < cell_w; x++) {
			float fx = (x + 0.5f) / cell_w, fy = (y + 0.5f) / cell_h;
			if (fx < 0.03f || fx > 0.94f || fy < 0.06f || fy > 0.94f) cov.at(x, y) = 0.0f;
		}
	field_c soft = cov;
	blur(soft, 2, 2, false);
	for (int y = 0; y < cell_h; y++)
		for (int x = 0; x < cell_w; x++) {
			float a = cov.at(x, y);
			float t = (float)y / cell_h;
			// Remapped by the scroller to white gold over amber, by the
			// closing text (red only) to a bright even tint.
			vec3 top(0.64f, 0.88f, 0.62f), bottom(0.52f, 0.42f, 0.58f);
			vec3 c = mix3(top, bottom, smooth(0.15f, 0.9f, t));
			float l = bevel(soft, x, y);
			c *= 0.78f + 0.32f * l;
			img.at(col * cell_w + x, row * cell_h + y) = vec4(glm::min(c, vec3(1.0f)) * a, a);
		}
}

void chargen(const std::string& dir) {
	image_c img(cell_w * 32, cell_h * 4, vec4(0.0f));
	std::u32string order = sheet_order();
	const float big = 256.0f;  // render size of the glyphs
	// Vertical: ascender line to descender line fills 0.10..0.90 of the cell.
	float asc = 0.80f * big, desc = 0.22f * big;
	float scale_y = (0.80f * cell_h) / (asc + desc);
	float base_y = 0.10f * cell_h + asc * scale_y;
	// Horizontal: a common squeeze that makes "n" fill most of the cell;
	// wider glyphs are squeezed further to fit.
	glyph_s m = text_glyph(FONT_BOLD_CONDENSED, 'n', big);
	float box = 0.84f * cell_w;
	float common = 0.8f * box / (float)m.bmp.w;
	for (size_t k = 0; k < order.size(); k++) {
		char32_t c = order[k];
		if (c == U' ') continue;
		glyph_s g = text_glyph(FONT_BOLD_CONDENSED, c, big);
		if (g.bmp.w == 0) continue;
		float sx = std::min(common, box / (float)g.bmp.w);
		float ink_w = g.bmp.w * sx;
		float pen = 0.485f * cell_w - ink_w * 0.5f - g.left * sx;
		draw_cell(img, (int)k % 32, (int)k / 32, g, sx, scale_y, pen, base_y);
	}
	write_png(dir + "/gfx/chargen.png", img, true);
}

// --- credits ----------------------------------------------------------------

struct credit_s {
	const char* role;
	const char* name;
	float cx, cy, width;  // centre and the widest the lettering may be
	float size_role, size_name;
};

// The size at which lettering is no wider than `width`.
float fit(font_e font, const char* txt, float size, float width) {
	float w = text_width(font, txt, size);
	return w > width ? size * width / w : size;
}

void credits(const std::string& dir) {
	const int W = 2048, H = 1024;
	field_c ink(W, H);
	// One credit per camera stop. Stops 10 and 20 share most of their view,
	// so their credits sit in the part that only one of them shows.
	credit_s list[] = {
		{"quintaro", "a QVD production", 357, 215, 560, 120, 54},
		{"code", "QVD", 1429, 650, 200, 92, 120},
		{"graphics", "QVD", 575, 700, 200, 92, 120},
		{"music", "QVD", 1590, 255, 520, 120, 140},
	};
	for (const credit_s& c : list) {
		float role = fit(FONT_BOLD_CONDENSED, c.role, c.size_role, c.width);
		float name = fit(FONT_BOLD, c.name, c.size_name, c.width);
		text_center(ink, FONT_BOLD_CONDENSED, c.role, c.cx, c.cy - 10, role);
		text_center(ink, FONT_BOLD, c.name, c.cx, c.cy + name * 0.85f, name);
	}
	// A little softness reads as an engraving edge in the bump shader.
	field_c soft = ink;
	blur(soft, 1, 1, false);
	image_c img(W, H);
	for (int i = 0; i < W * H; i++) {
		float v = clamp01(soft.v[i] * 1.1f);
		img.px[i] = vec4(v, v, v, 1);
	}
	write_jpg(dir + "/gfx/credits.jpg", img, 95);
}

// --- logo -------------------------------------------------------------------

// Metal "QVD" with a glowing rim and underline on a dark backdrop, drawn at
// `s` times the size of the 512 × 256 logo and centred in `img`. `mask`, if
// given, gets the parts that glow.
void paint_logo(image_c& img, image_c* mask, float s) {
	const int W = img.w, H = img.h;
	vec2 off((W - 512 * s) * 0.5f, (H - 256 * s) * 0.5f);
	auto radius = [&](int r) { return std::max(1, (int)std::lround(r * s)); };
	field_c ink(W, H);
	text_center(ink, FONT_BOLD, "QVD", off.x + 256 * s, off.y + 178 * s, 170 * s, 1.05f);
	field_c soft = ink, glow = ink;
	blur(soft, radius(2), 2, false);
	blur(glow, radius(8), 3, false);
	// Rim of the letters and an underline bar: the parts that glow.
	field_c rim(W, H);
	field_c outer = ink, inner = ink;
	blur(outer, radius(3), 2, false);
	for (int i = 0; i < W * H; i++) {
		float o = smooth(0.05f, 0.25f, outer.v[i]);
		float in = smooth(0.75f, 0.98f, inner.v[i]);
		rim.v[i] = clamp01(o - in);
	}
	shade(img, 1, [&](vec2 p) {
		int x = (int)p.x, y = (int)p.y;
		vec2 q = (p - off) / s;  // in the 512 × 256 logo's pixels
		vec2 uv = q / vec2(512, 256);
		float vig = 1.0f - 0.6f * glm::length((uv - vec2(0.5f, 0.55f)) * vec2(1.0f, 1.6f));
		vec3 bg = mix3(hex(0x05060f), hex(0x2a1f4f), clamp01(vig)) +
			vec3(0.01f) * fbm(uv * 8.0f, 8, 4, 11);
		bg += hex(0xff8a1f) * glow.at(x, y) * 0.55f;
		float bar = cover(sd_box(q, vec2(256, 210), vec2(170, 4), 4), 1.5f / s);
		float a = ink.at(x, y);
		float t = clamp01((q.y - 50.0f) / 140.0f);
		vec3 metal = mix3(hex(0xffe6a8), hex(0xff8a1f), t) * (0.7f + 0.45f * bevel(soft, x, y));
		metal += vec3(0.25f) * std::pow(clamp01(1.0f - std::fabs(t - 0.35f) * 8.0f), 2.0f);
		vec3 c = mix3(bg, metal, a);
		c = mix3(c, hex(0xffc24a), bar * 0.9f);
		if (mask)
			mask->at(x, y) = vec4(vec3(0.55f, 0.35f, 0.2f) * rim.at(x, y) + vec3(0.6f, 0.4f, 0.25f) * bar, 1);
		return vec4(glm::min(c, vec3(1.0f)), 1);
	});
}

void logo(const std::string& dir) {
	image_c img(512, 256), mask(512, 256);
	paint_logo(img, &mask, 1.0f);
	write_jpg(dir + "/gfx/qvdlogo.jpg", img);
	write_jpg(dir + "/gfx/qvdlogomask.jpg", mask);
}

// --- the heart's words ------------------------------------------------------

void gone(const std::string& dir) {
	const int W = 1024, H = 256;
	const char* words[4] = {"TIMES", "HAVE", "GONE", "BY"};
	field_c ink(W, H);
	for (int k = 0; k < 4; k++) {
		// Slice k is shown from 0.262k + 0.01 to 0.262k + 0.272; the last one
		// is cut by the picture's edge.
		float x0 = (0.262f * k + 0.03f) * W;
		float x1 = std::min(0.262f * k + 0.252f, 0.985f) * W;
		float size = 150.0f;
		float w = text_width(FONT_BOLD_CONDENSED, words[k], size);
		float xs = std::min(1.0f, (x1 - x0) / w);
		text_center(ink, FONT_BOLD_CONDENSED, words[k], (x0 + x1) * 0.5f, 180, size, xs);
	}
	field_c glow = ink;
	blur(glow, 6, 3, false);
	image_c img(W, H, vec4(0.0f));
	for (int i = 0; i < W * H; i++) {
		float a = ink.v[i], g = clamp01(glow.v[i] * 1.8f);
		vec3 c = mix3(hex(0xe8467c), vec3(1.0f, 0.95f, 0.97f), a);
		img.px[i] = vec4(c, clamp01(a + g * 0.8f * (1.0f - a)));
	}
	write_png(dir + "/gfx/gone.png", img, true);
}

// --- scroller strip (loaded, never shown) -------------------------------------

void scroller(const std::string& dir) {
	const int W = 2048, H = 64;
	field_c ink(W, H);
	text_draw(ink, FONT_BOLD_CONDENSED, "Times have surely gone by, and here we are once again.  QVD is back!",
		16, 48, 48);
	image_c img(W, H, vec4(0.0f));
	for (int i = 0; i < W * H; i++) img.px[i] = vec4(1.0f, 0.85f, 0.5f, ink.v[i]);
	write_png(dir + "/gfx/scroller.png", img, true);
}

// --- call screen --------------------------------------------------------------

// A handset: a thick arc with round ends.
float sd_handset(vec2 p, vec2 c, float s) {
	vec2 q = (p - c) / s;
	float a = std::atan2(q.y, q.x);
	float ring = std::fabs(glm::length(q) - 0.62f) - 0.16f;
	float ang_lim = std::fabs(a - 1.5708f) - 1.05f;  // opening towards the bottom
	float arc = std::max(ring, ang_lim * 0.62f);
	vec2 e1(std::cos(1.5708f - 1.05f) * 0.62f, std::sin(1.5708f - 1.05f) * 0.62f);
	vec2 e2(-e1.x, e1.y);
	float ends = std::min(sd_box(q, e1, vec2(0.24f, 0.17f), 0.1f), sd_box(q, e2, vec2(0.24f, 0.17f), 0.1f));
	return std::min(arc, ends) * s;
}

void callscreen(const std::string& dir) {
	const int W = 1024, H = 576;
	field_c txt(W, H), small(W, H);
	text_center(txt, FONT_BOLD, "QVD", W * 0.5f, 330, 96);
	text_center(small, FONT_BOOK, "incoming call", W * 0.5f, 70, 34);
	text_center(small, FONT_BOOK, "mobile  +358 40 000 0000", W * 0.5f, 382, 28);
	text_center(small, FONT_BOOK, "decline", W * 0.25f, 545, 26);
	text_center(small, FONT_BOOK, "answer", W * 0.75f, 545, 26);
	image_c img(W, H);
	shade(img, 2, [&](vec2 p) {
		vec2 uv = p / vec2(W, H);
		vec3 c = mix3(hex(0x141a3a), hex(0x05060f), uv.y);
		c += hex(0x2a1f4f) * 0.8f * std::exp(-8.0f * glm::dot(uv - vec2(0.5f, 0.3f), uv - vec2(0.5f, 0.3f)));
		// avatar: pulsing rings, a circle and a head-and-shoulders figure
		vec2 av(W * 0.5f, 165);
		for (int r = 0; r < 3; r++) {
			float d = std::fabs(glm::length(p - av) - (96.0f + r * 22.0f)) - 1.5f;
			c += hex(0x19b5d8) * cover(d, 1.0f) * (0.5f - r * 0.14f);
		}
		float circ = sd_circle(p, av, 84);
		vec3 avc = mix3(hex(0x19b5d8), hex(0x0b5f80), clamp01((p.y - 90) / 160));
		c = mix3(c, avc, cover(circ, 1.0f));
		float head = sd_circle(p, av + vec2(0, -18), 30);
		float body = std::max(sd_circle(p, av + vec2(0, 68), 56), circ);
		float fig = std::min(head, body);
		c = mix3(c, vec3(0.92f, 0.97f, 1.0f), cover(fig, 1.0f) * 0.9f);
		// buttons
		struct btn_s { float x; vec3 col; bool down; };
		btn_s btns[2] = {{W * 0.25f, hex(0xd8334a), true}, {W * 0.75f, hex(0x2fbf5a), false}};
		for (const btn_s& b : btns) {
			vec2 bc(b.x, 470);
			float d = sd_box(p, bc, vec2(150, 44), 44);
			vec3 bcol = b.col * (1.05f - 0.35f * clamp01((p.y - 426) / 88));
			c = mix3(c, bcol, cover(d, 1.0f));
			vec2 q = p;
			if (b.down) q = bc + vec2(p.x - bc.x, bc.y - (p.y - bc.y));
			c = mix3(c, vec3(1.0f), cover(sd_handset(q, bc + vec2(0, 6), 34), 1.0f));
		}
		int x = (int)p.x, y = (int)p.y;
		c = mix3(c, vec3(1.0f), txt.at(x, y));
		c = mix3(c, vec3(0.75f, 0.8f, 0.9f), small.at(x, y));
		return vec4(c, 1);
	});
	write_jpg(dir + "/gfx/callscreen2.jpg", img);
}

// --- home screen (loaded, never shown) --------------------------------------

void homescreen(const std::string& dir) {
	const int W = 854, H = 480;
	const char* labels[15] = {"phone", "mail", "music", "photos", "maps", "clock", "notes", "store",
		"video", "web", "calendar", "camera", "games", "contacts", "settings"};
	const uint32_t cols[15] = {0x2fbf5a, 0x3a7bd5, 0xe8467c, 0xffc24a, 0x19b5d8, 0x444c66, 0xffe28a,
		0x8e44ad, 0xd8334a, 0x1f8fff, 0xf5f5f5, 0x333333, 0xff8a1f, 0x27ae60, 0x7f8c8d};
	field_c lab(W, H);
	for (int i = 0; i < 15; i++) {
		float cx = 107 + (i % 5) * 160.0f, cy = 70 + (i / 5) * 150.0f;
		text_center(lab, FONT_BOOK, labels[i], cx, cy + 76, 20);
	}
	image_c img(W, H);
	shade(img, 2, [&](vec2 p) {
		vec2 uv = p / vec2(W, H);
		vec3 c = mix3(hex(0x141a3a), hex(0x05060f), uv.y) + vec3(0.02f) * fbm(uv * 4.0f, 4, 3, 5);
		for (int i = 0; i < 15; i++) {
			vec2 ic(107 + (i % 5) * 160.0f, 70 + (i / 5) * 150.0f);
			float d = sd_box(p, ic, vec2(46, 46), 16);
			if (d > 8) continue;
			vec3 ico = hex(cols[i]) * (1.1f - 0.4f * clamp01((p.y - ic.y + 46) / 92));
			c = mix3(c, vec3(0.0f), cover(d - 3, 6.0f) * 0.5f);
			c = mix3(c, ico, cover(d, 1.0f));
			float sym = sd_circle(p, ic, 20);
			if (i % 3 == 1) sym = sd_box(p, ic, vec2(22, 14), 3);
			if (i % 3 == 2) sym = std::fabs(sd_circle(p, ic, 18)) - 5;
			c = mix3(c, vec3(1.0f), cover(sym, 1.0f) * 0.85f * cover(d, 1.0f));
		}
		c = mix3(c, vec3(0.9f), lab.at((int)p.x, (int)p.y));
		return vec4(c, 1);
	});
	write_png(dir + "/gfx/harmattan-home.png", img, false);
}

}  // namespace

// The program's icon: the logo on a rounded square, clear in the corners.
void gen_icon(const std::string& file) {
	const int N = 256;
	image_c img(N, N);
	paint_logo(img, nullptr, 0.5f);
	for (int y = 0; y < N; y++)
		for (int x = 0; x < N; x++) {
			vec2 p(x + 0.5f, y + 0.5f);
			img.at(x, y).a = cover(sd_box(p, vec2(N * 0.5f), vec2(N * 0.5f - 8), 40), 1.0f);
		}
	write_png(file, img, true);
}

void gen_lettering(const std::string& dir) {
	chargen(dir);
	credits(dir);
	logo(dir);
	gone(dir);
	scroller(dir);
	callscreen(dir);
	homescreen(dir);
}

// The generated pictures: every one decodes with the demo's loader, tiling
// ones are powers of two without seams, and the layouts the effects sample
// (glyph cells, credit windows, word slices, sprite alpha) hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>

#include "texture.h"

namespace {

struct pic_s {
	int w = 0, h = 0;
	std::vector<unsigned char> px;  // RGBA, top row first
	int at(int x, int y, int c) const { return px[((size_t)y * w + x) * 4 + c]; }
	// colour as it blends: weighted by alpha
	int shown(int x, int y, int c) const { return at(x, y, c) * at(x, y, 3) / 255; }
};

pic_s load(const std::string& name) {
	pic_s p;
	int n;
	unsigned char* d = stbi_load(("gfx/" + name).c_str(), &p.w, &p.h, &n, 4);
	if (!d) {
		ADD_FAILURE() << "cannot read gfx/" << name;
		return p;
	}
	p.px.assign(d, d + (size_t)p.w * p.h * 4);
	stbi_image_free(d);
	return p;
}

struct file_s { const char* name; int flags, w, h; };

// Every picture the demo loads, its texture flags and, where the effect
// depends on it, its exact size (0: free).
const file_s files[] = {
	{"chargen.png", 0, 0, 0}, {"credits.jpg", 1, 2048, 1024}, {"rock.jpg", 9, 256, 256},
	{"rocknormal.jpg", 9, 256, 256}, {"face.jpg", 1, 854, 500}, {"kallotausta.jpg", 1, 854, 500},
	{"qvdlogo.jpg", 1, 512, 256}, {"qvdlogomask.jpg", 1, 512, 256}, {"mujuice.jpg", 1, 0, 0},
	{"mujuice2.jpg", 1, 0, 0}, {"callscreen2.jpg", 1, 0, 0}, {"woods.jpg", 1, 0, 0},
	{"harmattan-home.png", 1, 0, 0}, {"scroller.png", 0, 0, 0}, {"whiteback.jpg", 9, 0, 0},
	{"darkmetal.jpg", 1, 0, 0}, {"pb.jpg", 1, 0, 0}, {"ripsilu.jpg", 1, 0, 0}, {"bubbles.jpg", 9, 0, 0},
	{"jeans.jpg", 9, 0, 0}, {"lacetrace.jpg", 9, 0, 0}, {"roses.png", 8, 0, 0}, {"heart.png", 0, 0, 0},
	{"gone.png", 0, 0, 0}, {"gear.png", 0, 0, 0}, {"dot.png", 0, 0, 0}, {"city08_diffuse.png", 8, 0, 0},
	{"N9_uv.png", 0, 0, 0},
};

bool pow2(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Mean channel difference across the wrap edge versus inside the picture.
void expect_seamless(const std::string& name, const pic_s& p) {
	double edge_x = 0, in_x = 0, edge_y = 0, in_y = 0;
	for (int y = 0; y < p.h; y++)
		for (int c = 0; c < 3; c++) {
			edge_x += std::abs(p.shown(p.w - 1, y, c) - p.shown(0, y, c));
			in_x += std::abs(p.shown(p.w / 2, y, c) - p.shown(p.w / 2 - 1, y, c));
		}
	for (int x = 0; x < p.w; x++)
		for (int c = 0; c < 3; c++) {
			edge_y += std::abs(p.shown(x, p.h - 1, c) - p.shown(x, 0, c));
			in_y += std::abs(p.shown(x, p.h / 2, c) - p.shown(x, p.h / 2 - 1, c));
		}
	EXPECT_LE(edge_x, in_x * 1.6 + p.h * 3 * 2.0) << name << " has a seam left to right";
	EXPECT_LE(edge_y, in_y * 1.6 + p.w * 3 * 2.0) << name << " has a seam top to bottom";
}

}  // namespace

TEST(AssetPictures, EveryPictureDecodesWithTheDemoLoader) {
	for (const file_s& f : files) {
		std::string fn = std::string("gfx/") + f.name;
		SDL_Surface* s = texture_c::load_image(fn.c_str(), (f.flags & TEX_RGB) ? GL_RGB : GL_RGBA);
		ASSERT_NE(nullptr, s) << fn;
		if (f.w) {
			EXPECT_EQ(f.w, s->w) << fn;
			EXPECT_EQ(f.h, s->h) << fn;
		}
		if (f.flags & TEX_REPEAT) {
			EXPECT_TRUE(pow2(s->w) && pow2(s->h)) << fn << " repeats but is " << s->w << "x" << s->h;
			expect_seamless(f.name, load(f.name));
		}
		SDL_FreeSurface(s);
	}
}

TEST(AssetPictures, CharacterSheetKeepsGlyphsInsideTheSampledInsets) {
	pic_s p = load("chargen.png");
	ASSERT_EQ(0, p.w % 32);
	ASSERT_EQ(0, p.h % 4);
	int cw = p.w / 32, ch = p.h / 4;
	const std::vector<int> blank = {32, 92, 94, 95};
	for (int k = 0; k < 128; k++) {
		int cx = k % 32, cy = k / 32;
		int ink = 0, outside = 0;
		for (int y = 0; y < ch; y++)
			for (int x = 0; x < cw; x++) {
				int a = p.at(cx * cw + x, cy * ch + y, 3);
				float fx = (x + 0.5f) / cw, fy = (y + 0.5f) / ch;
				if (a > 127) ink++;
				if (a > 4 && (fx < 0.01f || fx > 0.96f || fy < 0.04f || fy > 0.96f)) outside++;
				if (a == 0) {
					EXPECT_EQ(0, p.at(cx * cw + x, cy * ch + y, 0) + p.at(cx * cw + x, cy * ch + y, 1));
				}
			}
		EXPECT_EQ(0, outside) << "glyph " << k << " leaves its inset";
		bool empty = k >= 97 || std::find(blank.begin(), blank.end(), k) != blank.end();
		if (empty)
			EXPECT_EQ(0, ink) << "cell " << k << " should be blank";
		else
			EXPECT_GT(ink, cw * ch / 100) << "glyph " << k << " is missing";
	}
	// "O" (79 → cell 79) and "0" (48) must differ, as must "l" (12) and "1" (49)
	auto differ = [&](int a, int b) {
		int d = 0;
		for (int y = 0; y < ch; y++)
			for (int x = 0; x < cw; x++)
				d += std::abs(p.at((a % 32) * cw + x, (a / 32) * ch + y, 3) - p.at((b % 32) * cw + x, (b / 32) * ch + y, 3));
		return d;
	};
	EXPECT_GT(differ(79, 48), cw * ch * 4);
	EXPECT_GT(differ(12, 49), cw * ch * 4);
}

TEST(AssetPictures, CreditsLetteringOnlyInsideTheCameraWindows) {
	pic_s p = load("credits.jpg");
	ASSERT_EQ(2048, p.w);
	struct win_s { int x0, x1, y0, y1; };
	const win_s wins[4] = {{0, 714, 0, 450}, {700, 1554, 420, 900}, {450, 1304, 462, 942}, {1200, 2048, 20, 500}};
	const int margin = 16;
	int count[4] = {0, 0, 0, 0};
	for (int y = 0; y < p.h; y++)
		for (int x = 0; x < p.w; x++) {
			if (p.at(x, y, 0) < 96) continue;
			bool inside = false;
			for (int w = 0; w < 4; w++)
				if (x >= wins[w].x0 + margin && x < wins[w].x1 - margin && y >= wins[w].y0 + margin &&
					y < wins[w].y1 - margin) {
					inside = true;
					count[w]++;
				}
			ASSERT_TRUE(inside) << "lettering at " << x << ", " << y << " outside every stop";
			ASSERT_LT(x, 1980) << "the rightmost columns must stay black";
		}
	for (int w = 0; w < 4; w++) EXPECT_GT(count[w], 4000) << "stop " << w * 10 << " shows no credit";
}

TEST(AssetPictures, GoneWordsStayInTheirSlices) {
	pic_s p = load("gone.png");
	auto ink_in = [&](float u0, float u1) {
		int n = 0;
		for (int x = (int)(u0 * p.w); x < std::min(p.w, (int)(u1 * p.w)); x++)
			for (int y = 0; y < p.h; y++) n += p.at(x, y, 3) > 200;
		return n;
	};
	for (int k = 0; k < 4; k++) {
		float u0 = 0.262f * k + 0.01f, u1 = 0.262f * k + 0.272f;
		EXPECT_GT(ink_in(u0, u1), p.h * 4) << "word " << k;
		EXPECT_EQ(0, ink_in(u1 - 0.006f, u1 + 0.006f)) << "word " << k << " crosses its slice edge";
	}
	EXPECT_EQ(0, ink_in(0.0f, 0.012f));
	EXPECT_EQ(0, p.at(0, 0, 3) + p.at(p.w - 1, p.h - 1, 3)) << "background must be transparent";
}

TEST(AssetPictures, SpritesAreTransparentAroundTheirShape) {
	const char* names[3] = {"heart.png", "gear.png", "dot.png"};
	for (const char* n : names) {
		pic_s p = load(n);
		EXPECT_EQ(0, p.at(0, 0, 3) + p.at(p.w - 1, 0, 3) + p.at(0, p.h - 1, 3) + p.at(p.w - 1, p.h - 1, 3)) << n;
		EXPECT_GT(p.at(p.w / 2, p.h / 2 + p.h / 8, 3), 230) << n;
	}
	// the desktop ball shader keeps alpha >= 0.5: the whole ball must pass
	pic_s d = load("dot.png");
	for (int y = 0; y < d.h; y++)
		for (int x = 0; x < d.w; x++) {
			float r = std::hypot(x + 0.5f - d.w / 2.0f, y + 0.5f - d.h / 2.0f) / (d.w / 2.0f);
			if (r < 0.55f) {
				EXPECT_GE(d.at(x, y, 3), 128) << x << ", " << y;
			}
		}
	pic_s roses = load("roses.png");
	int clear = 0, solid = 0;
	for (size_t i = 3; i < roses.px.size(); i += 4) {
		clear += roses.px[i] < 10;
		solid += roses.px[i] > 245;
	}
	int n = roses.w * roses.h;
	EXPECT_GT(clear, n / 4) << "roses need gaps between the flowers";
	EXPECT_GT(solid, n / 10);
}

TEST(AssetPictures, MaterialsCarryWhatTheShadersRead) {
	// normals are unit vectors facing out of the surface
	pic_s nor = load("rocknormal.jpg");
	double err = 0, z = 0;
	for (int i = 0; i < nor.w * nor.h; i++) {
		float v[3];
		for (int c = 0; c < 3; c++) v[c] = nor.px[i * 4 + c] / 127.5f - 1.0f;
		err += std::fabs(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) - 1.0f);
		z += v[2];
	}
	EXPECT_LT(err / (nor.w * nor.h), 0.05);
	EXPECT_GT(z / (nor.w * nor.h), 0.7);
	// window lights: some lit, most not, and none on the roof texel
	pic_s city = load("city08_diffuse.png");
	int lit = 0;
	for (size_t i = 3; i < city.px.size(); i += 4) lit += city.px[i] > 128;
	EXPECT_GT(lit, city.w * city.h / 30);
	EXPECT_LT(lit, city.w * city.h / 3);
	EXPECT_EQ(0, city.at(1, (int)((1.0f - 0.49f) * city.h), 3));
	// lace in the red channel, with holes
	pic_s lace = load("lacetrace.jpg");
	int on = 0;
	for (size_t i = 0; i < lace.px.size(); i += 4) on += lace.px[i] > 128;
	EXPECT_GT(on, lace.w * lace.h / 8);
	EXPECT_LT(on, lace.w * lace.h * 2 / 3);
	// the juice pair adds up without clipping much, and is not flat
	pic_s a = load("mujuice.jpg"), b = load("mujuice2.jpg");
	ASSERT_EQ(a.w, b.w);
	int clipped = 0;
	double sum = 0, sum2 = 0;
	for (size_t i = 0; i < a.px.size(); i++) {
		if (i % 4 == 3) continue;
		int v = a.px[i] + b.px[i] - 128;
		clipped += v < 0 || v > 255;
		sum += v;
		sum2 += (double)v * v;
	}
	double n = a.w * a.h * 3.0, mean = sum / n;
	EXPECT_LT(clipped, n * 0.02);
	EXPECT_GT(std::sqrt(sum2 / n - mean * mean), 20.0);
}

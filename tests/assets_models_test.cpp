// The generated models: loader limits, indices, the phone's open screen,
// a closed dodecahedron and a city with open flight lanes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>
#include <glm/glm.hpp>

#include "keep.h"
#include "model.h"

namespace {

struct obj_s {
	std::vector<glm::vec3> v, vn;
	std::vector<glm::vec2> vt;
	struct corner_s { int v, t, n; };
	std::vector<std::vector<corner_s>> f;
};

// A strict reading of the subset the demo uses: v/t/n at every corner.
obj_s read_obj(const char* fn) {
	obj_s o;
	FILE* f = fopen(fn, "r");
	if (!f) {
		ADD_FAILURE() << "cannot open " << fn;
		return o;
	}
	char line[1000];
	while (fgets(line, sizeof line, f)) {
		glm::vec3 p(0.0f);
		if (!strncmp(line, "v ", 2) && sscanf(line + 2, "%f %f %f", &p.x, &p.y, &p.z) == 3) o.v.push_back(p);
		else if (!strncmp(line, "vn ", 3) && sscanf(line + 3, "%f %f %f", &p.x, &p.y, &p.z) == 3) o.vn.push_back(p);
		else if (!strncmp(line, "vt ", 3) && sscanf(line + 3, "%f %f", &p.x, &p.y) == 2) o.vt.push_back(glm::vec2(p));
		else if (!strncmp(line, "f ", 2)) {
			std::vector<obj_s::corner_s> face;
			char* tok = strtok(line + 2, " \r\n");
			while (tok) {
				obj_s::corner_s c = {0, 0, 0};
				EXPECT_EQ(3, sscanf(tok, "%d/%d/%d", &c.v, &c.t, &c.n)) << fn << ": corner " << tok;
				face.push_back({c.v - 1, c.t - 1, c.n - 1});
				tok = strtok(nullptr, " \r\n");
			}
			o.f.push_back(face);
		}
	}
	fclose(f);
	return o;
}

void expect_valid(const char* fn, const obj_s& o) {
	for (size_t i = 0; i < o.f.size(); i++) {
		ASSERT_EQ(3u, o.f[i].size()) << fn << ": face " << i << " is not a triangle";
		for (const obj_s::corner_s& c : o.f[i]) {
			ASSERT_TRUE(c.v >= 0 && c.v < (int)o.v.size()) << fn << ": face " << i;
			ASSERT_TRUE(c.t >= 0 && c.t < (int)o.vt.size()) << fn << ": face " << i;
			ASSERT_TRUE(c.n >= 0 && c.n < (int)o.vn.size()) << fn << ": face " << i;
		}
		glm::vec3 a = o.v[o.f[i][0].v], b = o.v[o.f[i][1].v], c = o.v[o.f[i][2].v];
		EXPECT_GT(glm::length(glm::cross(b - a, c - a)), 1e-6f) << fn << ": face " << i << " is degenerate";
	}
}

glm::vec3 pos(const obj_s& o, size_t f, int k) { return o.v[o.f[f][k].v]; }

// Height of a triangle above the point (x, y), if it covers it.
bool height_at(glm::vec3 a, glm::vec3 b, glm::vec3 c, float x, float y, float* z) {
	float d = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
	if (std::fabs(d) < 1e-9f) return false;
	float l1 = ((b.y - c.y) * (x - c.x) + (c.x - b.x) * (y - c.y)) / d;
	float l2 = ((c.y - a.y) * (x - c.x) + (a.x - c.x) * (y - c.y)) / d;
	float l3 = 1.0f - l1 - l2;
	if (l1 < 0 || l2 < 0 || l3 < 0) return false;
	*z = l1 * a.z + l2 * b.z + l3 * c.z;
	return true;
}

}  // namespace

TEST(AssetModels, TheEngineLoaderReadsEachWithinItsLimits) {
	const char* files[3] = {"N9_low.obj", "dode.obj", "city08.obj"};
	const int maxv = model_c::maxverts, maxf = model_c::maxfaces;
	for (const char* fn : files) {
		model_c& m = keep(new model_c(fn));  // stops the program on a bad index
		obj_s o = read_obj(fn);
		EXPECT_LE(m.vcnt, maxv) << fn;
		EXPECT_LE(m.tcnt, maxv) << fn;
		EXPECT_LE(m.ncnt, maxv) << fn;
		EXPECT_LE(m.fcnt, maxf - 1) << fn;
		EXPECT_EQ((int)o.f.size(), m.fcnt) << fn;
		EXPECT_EQ((int)o.v.size(), m.vcnt) << fn;
		expect_valid(fn, o);
	}
}

TEST(AssetModels, PhoneLeavesItsScreenUncoveredFromTheFront) {
	obj_s o = read_obj("N9_low.obj");
	glm::vec3 lo(1e9f), hi(-1e9f);
	for (const glm::vec3& p : o.v) {
		lo = glm::min(lo, p);
		hi = glm::max(hi, p);
	}
	glm::vec3 size = hi - lo;
	EXPECT_NEAR(61.0f, size.x, 2.5f);
	EXPECT_NEAR(116.0f, size.y, 2.5f);
	EXPECT_NEAR(12.0f, size.z, 1.5f);
	// Every point of the screen rectangle: nothing in front of the screen
	// plane, and glass right behind it (no hole to look into).
	const glm::vec2 centre(0.0f, 61.55f);
	const float screen_z = 5.4845f;
	for (int j = 0; j <= 40; j++)
		for (int i = 0; i <= 24; i++) {
			float x = centre.x - 25.0f + 50.0f * i / 24, y = centre.y - 44.479168f + 88.958336f * j / 40;
			float nearest = -1e9f;
			for (size_t f = 0; f < o.f.size(); f++) {
				float z;
				if (!height_at(pos(o, f, 0), pos(o, f, 1), pos(o, f, 2), x, y, &z)) continue;
				ASSERT_LT(z, screen_z) << "body covers the screen at " << x << ", " << y;
				nearest = std::max(nearest, z);
			}
			EXPECT_GT(nearest, screen_z - 0.5f) << "no glass behind the screen at " << x << ", " << y;
		}
}

TEST(AssetModels, DodecahedronIsClosedAndWithinTheJellyLimits) {
	obj_s o = read_obj("dode.obj");
	expect_valid("dode.obj", o);
	EXPECT_LE(o.v.size(), 91u);
	EXPECT_LE(o.f.size(), 341u);
	for (size_t a = 0; a < o.v.size(); a++)
		for (size_t b = a + 1; b < o.v.size(); b++) EXPECT_GT(glm::distance(o.v[a], o.v[b]), 1e-3f) << a << " " << b;
	// every edge joins exactly two triangles, in opposite directions
	std::map<std::pair<int, int>, int> edges;
	for (const auto& f : o.f)
		for (int k = 0; k < 3; k++) edges[{f[k].v, f[(k + 1) % 3].v}]++;
	for (const auto& e : edges) {
		EXPECT_EQ(1, e.second) << "edge " << e.first.first << "-" << e.first.second;
		EXPECT_EQ(1u, edges.count({e.first.second, e.first.first})) << "open edge";
	}
	float across = 0.0f;
	for (const glm::vec3& p : o.v) across = std::max(across, 2.0f * glm::length(p));
	EXPECT_NEAR(1.6f, across, 0.15f);
	for (size_t f = 0; f < o.f.size(); f++) {
		glm::vec3 mid = (pos(o, f, 0) + pos(o, f, 1) + pos(o, f, 2)) / 3.0f;
		EXPECT_GT(glm::dot(o.vn[o.f[f][0].n], mid), 0.0f) << "normal of face " << f << " points inwards";
	}
}

TEST(AssetModels, CityTileKeepsTheFlightLanesOpen) {
	obj_s o = read_obj("city08.obj");
	expect_valid("city08.obj", o);
	float top = 0.0f, max_tc = 0.0f;
	std::set<int> heights;
	for (const glm::vec3& p : o.v) {
		EXPECT_TRUE(p.x >= -400 && p.x <= 400 && p.z >= -400 && p.z <= 400) << p.x << " " << p.z;
		EXPECT_TRUE(p.y >= 0 && p.y <= 585) << p.y;
		top = std::max(top, p.y);
		heights.insert((int)p.y);
	}
	for (const glm::vec2& t : o.vt) max_tc = std::max(max_tc, std::max(t.x, t.y));
	EXPECT_GT(top, 480.0f);
	EXPECT_GT(heights.size(), 40u) << "buildings of varied height";
	EXPECT_GT(max_tc, 2.0f) << "facades repeat their windows";
	// The camera's lines: x = 0, x = -370 (wrapping to +430 of the next
	// tile), z = 150..200, all at least 60 units wide.
	struct lane_s { int axis; float a, b; };
	const lane_s lanes[4] = {{0, -30, 30}, {0, -400, -335}, {0, 395, 400}, {2, 145, 205}};
	for (size_t f = 0; f < o.f.size(); f++) {
		glm::vec3 lo = glm::min(glm::min(pos(o, f, 0), pos(o, f, 1)), pos(o, f, 2));
		glm::vec3 hi = glm::max(glm::max(pos(o, f, 0), pos(o, f, 1)), pos(o, f, 2));
		if (hi.y < 0.01f) continue;  // street level
		for (const lane_s& l : lanes)
			EXPECT_TRUE(hi[l.axis] <= l.a || lo[l.axis] >= l.b)
				<< "face " << f << " stands in the lane " << l.a << ".." << l.b << " of axis " << l.axis;
	}
}

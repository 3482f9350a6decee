// The three models: the phone, the jelly dodecahedron and one city tile.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assetgen.h"
#include "common.h"

namespace {

const float PI = 3.14159265f;

// Collects positions, texture coordinates and normals with sharing of equal
// values, and triangles of v/t/n corners.
class obj_c {
public:
	struct corner_s { int v, t, n; };

	int pos(vec3 p) { return find(vpos, vmap, p); }
	int tc(vec2 t) { return find(vtc, tmap, vec3(t, 0.0f)); }
	int nor(vec3 n) { return find(vnor, nmap, glm::normalize(n)); }
	corner_s corner(vec3 p, vec2 t, vec3 n) { return {pos(p), tc(t), nor(n)}; }
	void tri(corner_s a, corner_s b, corner_s c) { tris.push_back({a, b, c}); }
	void quad(corner_s a, corner_s b, corner_s c, corner_s d) {
		tri(a, b, c);
		tri(a, c, d);
	}
	int faces() const { return (int)tris.size(); }
	int positions() const { return (int)vpos.size(); }
	int texcoords() const { return (int)vtc.size(); }
	void write(const std::string& fn, const char* comment) const;

private:
	typedef std::tuple<long, long, long> key_t;
	std::vector<vec3> vpos, vtc, vnor;
	std::map<key_t, int> vmap, tmap, nmap;
	std::vector<std::array<corner_s, 3>> tris;

	static int find(std::vector<vec3>& list, std::map<key_t, int>& m, vec3 p) {
		key_t k(std::lround(p.x * 1e4), std::lround(p.y * 1e4), std::lround(p.z * 1e4));
		auto it = m.find(k);
		if (it != m.end()) return it->second;
		m[k] = (int)list.size();
		list.push_back(p);
		return (int)list.size() - 1;
	}
};

void obj_c::write(const std::string& fn, const char* comment) const {
	FILE* f = fopen(fn.c_str(), "w");
	if (!f) {
		fprintf(stderr, "assetgen: cannot write %s\n", fn.c_str());
		exit(1);
	}
	fprintf(f, "# %s\n", comment);
	for (const vec3& p : vpos) fprintf(f, "v %.4f %.4f %.4f\n", p.x, p.y, p.z);
	for (const vec3& t : vtc) fprintf(f, "vt %.5f %.5f\n", t.x, t.y);
	for (const vec3& n : vnor) fprintf(f, "vn %.4f %.4f %.4f\n", n.x, n.y, n.z);
	for (const auto& t : tris)
		fprintf(f, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", t[0].v + 1, t[0].t + 1, t[0].n + 1, t[1].v + 1, t[1].t + 1,
			t[1].n + 1, t[2].v + 1, t[2].t + 1, t[2].n + 1);
	if (fclose(f)) {
		fprintf(stderr, "assetgen: cannot write %s\n", fn.c_str());
		exit(1);
	}
}

// --- phone --------------------------------------------------------------------

struct outline_s { vec2 p, n; float s; };

// Rounded-rectangle outline of the body, counter-clockwise, with its outward
// normals and the running length (0..1) for the side texture.
std::vector<outline_s> phone_outline() {
	using namespace phone;
	vec2 c(0.0f, (body_y0 + body_y1) * 0.5f);
	vec2 half(body_x - corner, (body_y1 - body_y0) * 0.5f - corner);
	std::vector<outline_s> out;
	const int arc = 8;
	vec2 centres[4] = {c + vec2(half.x, -half.y), c + vec2(half.x, half.y), c + vec2(-half.x, half.y),
		c + vec2(-half.x, -half.y)};
	for (int k = 0; k < 4; k++)
		for (int i = 0; i <= arc; i++) {
			float a = (k - 1) * PI * 0.5f + i * PI * 0.5f / arc;
			vec2 n(std::cos(a), std::sin(a));
			out.push_back({centres[k] + n * corner, n, 0.0f});
		}
	float total = 0.0f;
	for (size_t i = 0; i < out.size(); i++) {
		out[i].s = total;
		total += glm::length(out[(i + 1) % out.size()].p - out[i].p);
	}
	for (outline_s& o : out) o.s /= total;
	return out;
}

void phone_side_buttons(obj_c& m) {
	using namespace phone;
	vec2 uv(0.25f, 0.4f);  // body colour
	struct btn_s { float y0, y1; };
	const btn_s btns[2] = {{84.0f, 98.0f}, {70.0f, 78.0f}};
	for (const btn_s& b : btns) {
		float x0 = body_x - 0.6f, x1 = body_x + 0.7f, z0 = -2.6f, z1 = -0.4f;
		auto P = [&](float x, float y, float z) { return vec3(x, y, z); };
		vec3 nx(1, 0, 0), ny0(0, -1, 0), ny1(0, 1, 0), nz0(0, 0, -1), nz1(0, 0, 1);
		m.quad(m.corner(P(x1, b.y0, z0), uv, nx), m.corner(P(x1, b.y1, z0), uv, nx),
			m.corner(P(x1, b.y1, z1), uv, nx), m.corner(P(x1, b.y0, z1), uv, nx));
		m.quad(m.corner(P(x0, b.y1, z0), uv, ny1), m.corner(P(x0, b.y1, z1), uv, ny1),
			m.corner(P(x1, b.y1, z1), uv, ny1), m.corner(P(x1, b.y1, z0), uv, ny1));
		m.quad(m.corner(P(x0, b.y0, z0), uv, ny0), m.corner(P(x1, b.y0, z0), uv, ny0),
			m.corner(P(x1, b.y0, z1), uv, ny0), m.corner(P(x0, b.y0, z1), uv, ny0));
		m.quad(m.corner(P(x0, b.y0, z1), uv, nz1), m.corner(P(x1, b.y0, z1), uv, nz1),
			m.corner(P(x1, b.y1, z1), uv, nz1), m.corner(P(x0, b.y1, z1), uv, nz1));
		m.quad(m.corner(P(x0, b.y0, z0), uv, nz0), m.corner(P(x0, b.y1, z0), uv, nz0),
			m.corner(P(x1, b.y1, z0), uv, nz0), m.corner(P(x1, b.y0, z0), uv, nz0));
	}
}

// A slab whose sides are half ellipses: a tight round at the back and a
// wider curve into the flat front, which stays just behind the screen.
void phone_model(const std::string& dir) {
	using namespace phone;
	obj_c m;
	std::vector<outline_s> ol = phone_outline();
	const int rings = 10;  // back to front
	std::vector<float> phis;
	for (int j = 0; j <= rings; j++) phis.push_back(-PI * 0.5f + PI * j / rings);
	auto surface = [&](const outline_s& o, float phi, vec3* n) {
		bool front = phi > 0.0f;
		float rho = front ? front_round : back_round;
		float hz = front ? front_z - mid_z : mid_z - back_z;
		vec2 xy = o.p - o.n * rho * (1.0f - std::cos(phi));
		*n = glm::normalize(vec3(o.n * (std::cos(phi) / rho), std::sin(phi) / hz));
		return vec3(xy, mid_z + hz * std::sin(phi));
	};
	size_t no = ol.size();
	for (size_t i = 0; i < no; i++) {
		const outline_s& a = ol[i];
		const outline_s& b = ol[(i + 1) % no];
		float ua = a.s * 0.5f, ub = (i + 1 == no ? 1.0f : b.s) * 0.5f;
		for (int j = 0; j < rings; j++) {
			vec3 n00, n01, n10, n11;
			vec3 p00 = surface(a, phis[j], &n00), p01 = surface(a, phis[j + 1], &n01);
			vec3 p10 = surface(b, phis[j], &n10), p11 = surface(b, phis[j + 1], &n11);
			float v0 = (float)j / rings, v1 = (float)(j + 1) / rings;
			m.quad(m.corner(p00, vec2(ua, v0), n00), m.corner(p10, vec2(ub, v0), n10),
				m.corner(p11, vec2(ub, v1), n11), m.corner(p01, vec2(ua, v1), n01));
		}
	}
	// flat front and back, fans from the middle
	float yc = (body_y0 + body_y1) * 0.5f, span = body_y1 - body_y0;
	auto front_uv = [&](vec3 p) { return vec2(0.75f + p.x / (4.0f * body_x), 0.5f + (p.y - body_y0) / (2.0f * span)); };
	auto back_uv = [&](vec3 p) { return vec2(0.75f - p.x / (4.0f * body_x), (p.y - body_y0) / (2.0f * span)); };
	vec3 fc(0, yc, front_z), bc(0, yc, back_z), nf(0, 0, 1), nb(0, 0, -1);
	for (size_t i = 0; i < no; i++) {
		vec3 dummy;
		vec3 fa = surface(ol[i], PI * 0.5f, &dummy), fb = surface(ol[(i + 1) % no], PI * 0.5f, &dummy);
		m.tri(m.corner(fc, front_uv(fc), nf), m.corner(fa, front_uv(fa), nf), m.corner(fb, front_uv(fb), nf));
		vec3 ba = surface(ol[i], -PI * 0.5f, &dummy), bb = surface(ol[(i + 1) % no], -PI * 0.5f, &dummy);
		m.tri(m.corner(bc, back_uv(bc), nb), m.corner(bb, back_uv(bb), nb), m.corner(ba, back_uv(ba), nb));
	}
	phone_side_buttons(m);
	m.write(dir + "/N9_low.obj", "phone body; the screen quad is drawn separately in front of the flat glass");
}

// --- dodecahedron ---------------------------------------------------------------

// Twelve pentagons, each a fan around its own centre point, so the jelly has
// something to bend.
void dode_model(const std::string& dir) {
	const float g = (1.0f + std::sqrt(5.0f)) * 0.5f, ig = 1.0f / g;
	std::vector<vec3> v;
	for (int i = 0; i < 8; i++) v.push_back(vec3(i & 1 ? 1 : -1, i & 2 ? 1 : -1, i & 4 ? 1 : -1));
	for (int i = 0; i < 4; i++) {
		float a = i & 1 ? 1.0f : -1.0f, b = i & 2 ? 1.0f : -1.0f;
		v.push_back(vec3(0, a * ig, b * g));
		v.push_back(vec3(a * ig, b * g, 0));
		v.push_back(vec3(a * g, 0, b * ig));
	}
	const float scale = 0.8f / std::sqrt(3.0f);  // 1.6 across
	std::vector<vec3> normals;
	for (int i = 0; i < 4; i++) {
		float a = i & 1 ? 1.0f : -1.0f, b = i & 2 ? 1.0f : -1.0f;
		normals.push_back(glm::normalize(vec3(0, a * g, b)));
		normals.push_back(glm::normalize(vec3(a * g, b, 0)));
		normals.push_back(glm::normalize(vec3(a, 0, b * g)));
	}
	obj_c m;
	for (const vec3& n : normals) {
		// the five corners nearest along the face normal, sorted around it
		std::vector<std::pair<float, int>> near;
		for (size_t i = 0; i < v.size(); i++) near.push_back({-glm::dot(v[i], n), (int)i});
		std::sort(near.begin(), near.end());
		vec3 centre(0.0f);
		for (int k = 0; k < 5; k++) centre += v[near[k].second] * 0.2f;
		vec3 ax = glm::normalize(v[near[0].second] - centre), ay = glm::cross(n, ax);
		std::vector<std::pair<float, int>> ring;
		for (int k = 0; k < 5; k++) {
			vec3 d = v[near[k].second] - centre;
			ring.push_back({std::atan2(glm::dot(d, ay), glm::dot(d, ax)), near[k].second});
		}
		std::sort(ring.begin(), ring.end());
		for (int k = 0; k < 5; k++) {
			int a = ring[k].second, b = ring[(k + 1) % 5].second;
			float ta = ring[k].first, tb = ring[(k + 1) % 5].first;
			m.tri(m.corner(centre * scale, vec2(0.5f), n),
				m.corner(v[a] * scale, vec2(0.5f + 0.5f * std::cos(ta), 0.5f + 0.5f * std::sin(ta)), n),
				m.corner(v[b] * scale, vec2(0.5f + 0.5f * std::cos(tb), 0.5f + 0.5f * std::sin(tb)), n));
		}
	}
	m.write(dir + "/dode.obj", "dodecahedron, face centres included");
}

// --- city -----------------------------------------------------------------------

struct span_s { float a, b; };

// Lots between the streets. Streets keep the camera's flight lines open:
// x = 0, x = -370 (with its wrap at the east edge), z = 135..215.
const span_s lots_x[4] = {{-325, -215}, {-185, -40}, {40, 185}, {215, 385}};
const span_s lots_z[4] = {{-385, -215}, {-185, -15}, {15, 135}, {215, 385}};

struct box_s { vec3 lo, hi; };

class city_c {
public:
	explicit city_c(obj_c& m_) : m(m_), rng(808) {}
	void build();

private:
	obj_c& m;
	rng_c rng;
	const vec2 plain_uv = vec2(0.002f, 0.49f);  // wall texel without windows

	void box(const box_s& b, bool bottom, float floor_h, float col_w, vec2 uv0);
	void building(vec2 lo, vec2 hi, bool avenue);
	void lot(vec2 lo, vec2 hi, bool avenue, int depth);
	void ground();
};

// A box with windowed walls; texture coordinates run past 1 so the facade
// repeats, one window column per col_w units and one floor per floor_h.
void city_c::box(const box_s& b, bool bottom, float floor_h, float col_w, vec2 uv0) {
	vec3 lo = b.lo, hi = b.hi;
	float hu = (hi.y - lo.y) / (floor_h * 16.0f);
	float v0 = uv0.y + lo.y / (floor_h * 16.0f);
	struct wall_s { vec3 a, b; vec3 n; };
	const wall_s walls[4] = {
		{vec3(lo.x, 0, hi.z), vec3(hi.x, 0, hi.z), vec3(0, 0, 1)},
		{vec3(hi.x, 0, hi.z), vec3(hi.x, 0, lo.z), vec3(1, 0, 0)},
		{vec3(hi.x, 0, lo.z), vec3(lo.x, 0, lo.z), vec3(0, 0, -1)},
		{vec3(lo.x, 0, lo.z), vec3(lo.x, 0, hi.z), vec3(-1, 0, 0)},
	};
	for (const wall_s& w : walls) {
		float len = glm::length(w.b - w.a) / (col_w * 8.0f);
		vec3 a0(w.a.x, lo.y, w.a.z), b0(w.b.x, lo.y, w.b.z), a1(w.a.x, hi.y, w.a.z), b1(w.b.x, hi.y, w.b.z);
		m.quad(m.corner(a0, vec2(uv0.x, v0), w.n), m.corner(b0, vec2(uv0.x + len, v0), w.n),
			m.corner(b1, vec2(uv0.x + len, v0 + hu), w.n), m.corner(a1, vec2(uv0.x, v0 + hu), w.n));
	}
	vec3 up(0, 1, 0), down(0, -1, 0);
	m.quad(m.corner(vec3(lo.x, hi.y, hi.z), plain_uv, up), m.corner(vec3(hi.x, hi.y, hi.z), plain_uv, up),
		m.corner(vec3(hi.x, hi.y, lo.z), plain_uv, up), m.corner(vec3(lo.x, hi.y, lo.z), plain_uv, up));
	if (bottom)
		m.quad(m.corner(vec3(lo.x, lo.y, lo.z), plain_uv, down), m.corner(vec3(hi.x, lo.y, lo.z), plain_uv, down),
			m.corner(vec3(hi.x, lo.y, hi.z), plain_uv, down), m.corner(vec3(lo.x, lo.y, hi.z), plain_uv, down));
}

// One building: a tower, maybe a setback tier, a roof ledge and roof boxes.
void city_c::building(vec2 lo, vec2 hi, bool avenue) {
	float r = rng.unit();
	float h = avenue ? 260.0f + 300.0f * r : 90.0f + 420.0f * r * r;
	float floor_h = rng.range(9.0f, 13.0f), col_w = rng.range(7.0f, 11.0f);
	vec2 uv0(rng.below(8) / 8.0f, rng.below(16) / 16.0f);
	vec2 size = hi - lo;
	bool tier = h > 220.0f && std::min(size.x, size.y) > 34.0f && rng.unit() < 0.6f;
	float h1 = tier ? h * rng.range(0.55f, 0.75f) : h;
	box({vec3(lo.x, 0, lo.y), vec3(hi.x, h1, hi.y)}, false, floor_h, col_w, uv0);
	vec2 top_lo = lo, top_hi = hi;
	float top = h1;
	if (tier) {
		float in = rng.range(6.0f, std::min(size.x, size.y) * 0.22f);
		top_lo = lo + vec2(in);
		top_hi = hi - vec2(in);
		box({vec3(top_lo.x, h1, top_lo.y), vec3(top_hi.x, h, top_hi.y)}, false, floor_h, col_w, uv0);
		top = h;
	}
	// ledge: a thin slab a little wider than the roof
	if (rng.unit() < 0.7f)
		box({vec3(top_lo.x - 1.2f, top, top_lo.y - 1.2f), vec3(top_hi.x + 1.2f, top + 2.5f, top_hi.y + 1.2f)},
			true, 100.0f, 100.0f, plain_uv);
	// roof boxes and, on the tallest, a mast
	int n = 1 + rng.below(2);
	for (int i = 0; i < n; i++) {
		vec2 s(rng.range(5.0f, 12.0f), rng.range(5.0f, 12.0f));
		vec2 room = top_hi - top_lo - s - vec2(4.0f);
		if (room.x <= 0 || room.y <= 0) break;
		vec2 p = top_lo + vec2(2.0f) + vec2(rng.unit() * room.x, rng.unit() * room.y);
		float bh = std::min(rng.range(3.0f, 9.0f), 584.0f - top);
		box({vec3(p.x, top, p.y), vec3(p.x + s.x, top + bh, p.y + s.y)}, false, 100.0f, 100.0f, plain_uv);
	}
	if (top > 430.0f) {
		vec2 c = (top_lo + top_hi) * 0.5f;
		float mh = std::min(585.0f - top, rng.range(20.0f, 60.0f));
		box({vec3(c.x - 0.8f, top, c.y - 0.8f), vec3(c.x + 0.8f, top + mh, c.y + 0.8f)}, false, 100.0f, 100.0f,
			plain_uv);
	}
}

// Splits a lot along its longer side with an alley until the pieces are
// building-sized.
void city_c::lot(vec2 lo, vec2 hi, bool avenue, int depth) {
	vec2 size = hi - lo;
	float longest = std::max(size.x, size.y);
	if (longest < 75.0f || depth > 3) {
		building(lo, hi, avenue);
		return;
	}
	float alley = rng.range(6.0f, 10.0f);
	float at = rng.range(0.38f, 0.62f);
	if (size.x >= size.y) {
		float cut = lo.x + size.x * at;
		lot(lo, vec2(cut - alley * 0.5f, hi.y), avenue, depth + 1);
		lot(vec2(cut + alley * 0.5f, lo.y), hi, avenue, depth + 1);
	} else {
		float cut = lo.y + size.y * at;
		lot(lo, vec2(hi.x, cut - alley * 0.5f), avenue, depth + 1);
		lot(vec2(lo.x, cut + alley * 0.5f), hi, avenue, depth + 1);
	}
}

// Street level: one quad per 200 × 200 block, so no face crosses a block.
void city_c::ground() {
	vec3 up(0, 1, 0);
	for (int cz = 0; cz < 4; cz++)
		for (int cx = 0; cx < 4; cx++) {
			float x0 = cx * 200.0f - 400.0f, z0 = cz * 200.0f - 400.0f;
			m.quad(m.corner(vec3(x0, 0, z0 + 200), plain_uv, up), m.corner(vec3(x0 + 200, 0, z0 + 200), plain_uv, up),
				m.corner(vec3(x0 + 200, 0, z0), plain_uv, up), m.corner(vec3(x0, 0, z0), plain_uv, up));
		}
}

void city_c::build() {
	ground();
	for (int j = 0; j < 4; j++)
		for (int i = 0; i < 4; i++) {
			// lots on the camera's avenues get the tall canyon walls
			bool avenue = i == 1 || i == 2 || i == 0 || j == 2 || j == 3;
			lot(vec2(lots_x[i].a, lots_z[j].a), vec2(lots_x[i].b, lots_z[j].b), avenue, 0);
		}
}

void city_model(const std::string& dir) {
	obj_c m;
	city_c city(m);
	city.build();
	if (m.positions() > 6000 || m.texcoords() > 6000 || m.faces() > 7000) {
		fprintf(stderr, "assetgen: city too big (%d positions, %d tcs, %d faces)\n", m.positions(), m.texcoords(),
			m.faces());
		exit(1);
	}
	m.write(dir + "/city08.obj", "city tile, x and z -400..400, repeated every 800");
}

}  // namespace

void gen_models(const std::string& dir) {
	phone_model(dir);
	dode_model(dir);
	city_model(dir);
}

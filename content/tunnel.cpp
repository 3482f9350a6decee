// The city flown through after the phone: one tile of buildings repeated
// on an 800-unit grid, cut into 4 x 4 blocks that are culled against the
// view frustum and a draw distance, and within them into buildings and
// their faces that are skipped where nearer ones hide them.
#include <algorithm>
#include <math.h>
#include <stddef.h>
#include <stdio.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/model.h"
#include "../src/occlusion.h"
#include "../src/shader.h"
#include "../src/sync.h"

float citybomb = 0.0f;
float CityMaxDistance = 1000.0f;
float camPitch = 0.0f;
float camYaw = 0.0f;

namespace {

// With no draw distance left (u_dist 0) the whole city is faded out
// instead of dividing by zero.
const char* city_vs =
	"attribute vec3 pos;\n"
	"attribute vec3 nor;\n"
	"attribute vec2 uv;\n"
	"uniform mat4 mvp;\n"
	"uniform mat3 mv;\n"
	"uniform vec3 lightdir;\n"
	"uniform float bomb;\n"
	"uniform float bomb2;\n"
	"uniform float u_dist;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	vec3 pos2 = pos + (nor.yzx + uv.yxy) * bomb2;\n"
	"	gl_Position = mvp * vec4(pos2, 1.0);\n"
	"	vec3 normal = mv * nor;\n"
	"	float zz = clamp(dot(lightdir, normal), 0.2, 1.0);\n"
	"	zz *= clamp((pos.y + 50.0) * 0.007, 0.0, 1.0);\n"
	"	float fade = u_dist > 0.0 ? clamp(gl_Position.z / u_dist, 0.0, 1.0) : 1.0;\n"
	"	zz *= 1.0 - fade * fade;\n"
	"	zz += bomb;\n"
	"	v_col = vec4(zz, zz, zz, 0.2);\n"
	"	v_uv = uv;\n"
	"}\n";

const char* city_fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	vec4 c = texture2D(tex, v_uv) * v_col;\n"
	"	c.rgb += vec3(1.0, 1.0, 0.8) * c.a;\n"
	"	gl_FragColor = c;\n"
	"}\n";

const float tile_size = 800.0f;
const float block_size = 200.0f;
const float block_height = 585.0f;
const int block_count = 16;

struct plane_t {
	glm::vec3 n;  // unit normal, pointing out of the frustum
	float d;
};

shader_c shader;
texture_c tex;
model_c* city = 0;
GLushort* elements = 0;
int elementCount = 0;
GLushort* blockElements[block_count];
int blockElementsCount[block_count];
// The model's corners in a GL buffer: a browser would otherwise copy the
// whole city for every block it draws. buffer_elements is elements with
// each corner number turned into its place in that buffer.
GLuint city_buffer = 0;
GLushort* buffer_elements = 0;
// This frame's faces in drawing order, those found hidden left out, and
// the GL buffer they are streamed to; tile_count * elementCount at most.
GLushort* frame_elements = 0;
int frame_element_count = 0;
GLuint frame_buffer = 0;

// The program's inputs, looked up once.
struct city_locs_s {
	GLint mvp, mv, lightdir, bomb, bomb2, u_dist, tex;
	GLint pos, uv, nor;
};
city_locs_s loc;

// A block's index list comes in groups: first its flat ground, then one
// group per building, the faces whose ground plans touch, each in the
// model's order. A group is drawn, or found hidden, as a whole.
struct group_s {
	int first;  // its first index in elements
	int count;  // its indices
	glm::vec3 lo, hi;  // bounds of its faces
	glm::vec3 flight_lo, flight_hi;  // bounds of its corners' flight (see flight)
	int occluders;  // its first occluder; its last is the next group's first
	bool ground;
};
group_s* groups = 0;
int group_count = 0;
int blockGroups[block_count + 1];  // block j has groups [j] to [j + 1]

// The faces that hide what lies behind them: a building's faces of at least
// occluder_area, the two halves of a flat quad as one.
struct occluder_s {
	glm::vec3 p[4];
	int corners;  // 3 or 4, convex, in drawing order
};
const float occluder_area = 100.0f;
occluder_s* occluders = 0;

// One group of one of the 3 x 3 tiles around the camera, queued for this
// frame's draw. Nearest first lets the depth test reject most of the
// hidden city before it is shaded, and the groups drawn so far hide the
// ones behind them; the ground follows the buildings that stand on it.
struct blockdraw_s {
	float dist;  // camera to the group's box, 0 inside it; the ground's plus ground_last
	int tile;
	int group;
	int first, count;  // its faces in frame_elements, once culled
};
const float ground_last = 1e6f;
const int tile_count = 9;
blockdraw_s* queue = 0;  // tile_count * group_count entries
glm::mat4 tile_mvp[tile_count];
glm::vec3 tile_offset[tile_count];

// Back faces may be skipped only where they can never show: with every
// building a closed box standing on the ground and lying within one block,
// its faces wound counter-clockwise seen from outside, and with the camera
// clear above everything near it. clearance holds,
// per cell of a grid over the tile, the height the camera must be above;
// it covers the faces around the cell out to clear_margin.
const float clear_margin = 4.0f;
const float clear_cell = 4.0f;
const int clear_cells = (int)(tile_size / clear_cell);
float* clearance = 0;
bool closed_blocks = false;  // buildings whole in one block, wound outward

// Column (or row) of a block within the tile, from x (or z).
int block_cell(float v)
{
	if (v < -200.0f)
		return 0;
	if (v < 0.0f)
		return 1;
	if (v < 200.0f)
		return 2;
	return 3;
}

int block_of(const glm::vec3& p)
{
	return block_cell(p.x) + 4 * block_cell(p.z);
}

plane_t tritoplane(glm::vec3 a, glm::vec3 b, glm::vec3 c)
{
	plane_t p;
	p.n = glm::normalize(glm::cross(b - a, c - a));
	p.d = glm::dot(p.n, a);
	return p;
}

// World-space corners and the four side planes of the view frustum.
void calc_frustum(glm::mat4 mat, glm::mat4 lookmtx_inv, glm::vec3* frustumverts_out, plane_t* frustumplanes_out)
{
	const float* data = glm::value_ptr(mat);
	float a = data[0], b = data[5], c = data[10], d = data[14], e = data[11];
	glm::mat4 inv(0.0f);
	float* id = glm::value_ptr(inv);
	id[0] = 1.0f / a;
	id[5] = 1.0f / b;
	id[11] = 1.0f / d;
	id[14] = 1.0f / e;
	id[15] = -c / (d * e);

	for (int i = 0; i < 8; i++) {
		glm::vec4 corner((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f, 1.0f);
		glm::vec4 v = inv * corner;
		v /= v.w;
		v = lookmtx_inv * v;
		frustumverts_out[i] = glm::vec3(v);
	}

	const int triples[4][3] = {{1, 0, 4}, {2, 3, 6}, {0, 2, 4}, {3, 1, 5}};
	for (int k = 0; k < 4; k++) {
		frustumplanes_out[k] = tritoplane(frustumverts_out[triples[k][0]],
			frustumverts_out[triples[k][1]], frustumverts_out[triples[k][2]]);
	}
}

// False when the box lies wholly outside one of the planes.
bool testBb(const plane_t* planes, glm::vec3 bbmin, glm::vec3 bbmax)
{
	for (int k = 0; k < 4; k++) {
		const glm::vec3& n = planes[k].n;
		glm::vec3 nearest(n.x < 0.0f ? bbmax.x : bbmin.x, n.y < 0.0f ? bbmax.y : bbmin.y, n.z < 0.0f ? bbmax.z : bbmin.z);
		if (glm::dot(nearest, n) - planes[k].d > 0.0f)
			return false;
	}
	return true;
}

// Bit (cx + 4 cz) is set for each block of the tile at `offset` to draw.
int constructCitymask(glm::vec3 campos, const plane_t* planes, glm::vec3 offset, float maxdist)
{
	int mask = 0;
	for (int cx = 0; cx < 4; cx++) {
		for (int cz = 0; cz < 4; cz++) {
			glm::vec3 q = offset + glm::vec3(cx * block_size - 300.0f, 0.0f, cz * block_size - 300.0f);
			if (glm::distance(campos, q) > maxdist)
				continue;
			glm::vec3 bbmin = q + glm::vec3(-100.0f, 0.0f, -100.0f);
			glm::vec3 bbmax = q + glm::vec3(100.0f, block_height, 100.0f);
			if (testBb(planes, bbmin, bbmax))
				mask |= 1 << (cx + 4 * cz);
		}
	}
	return mask;
}

// Index lists per block; a face touching several blocks is in each.
void split()
{
	int faces = city->fcnt;
	fprintf(stderr, "city faces: %i\n", faces);

	bool* facemask = new bool[(size_t)block_count * faces]();
	for (int i = 0; i < faces; i++) {
		for (int k = 0; k < 3; k++)
			facemask[block_of(city->data[3 * i + k].pos) * faces + i] = true;
	}

	int badcase = 0;
	for (int j = 0; j < block_count; j++) {
		int count = 0;
		for (int i = 0; i < faces; i++)
			count += facemask[j * faces + i] ? 1 : 0;
		fprintf(stderr, "split %i: %i\n", j, count);
		badcase += count;
	}
	fprintf(stderr, "worst case: %i\n", badcase);

	elements = new GLushort[3 * (size_t)badcase];
	int curElem = 0;
	for (int j = 0; j < block_count; j++) {
		blockElements[j] = elements + curElem;
		blockElementsCount[j] = 0;
		for (int i = 0; i < faces; i++) {
			if (!facemask[j * faces + i])
				continue;
			elements[curElem++] = (GLushort)(3 * i);
			elements[curElem++] = (GLushort)(3 * i + 1);
			elements[curElem++] = (GLushort)(3 * i + 2);
			blockElementsCount[j] += 3;
		}
	}
	fprintf(stderr, "poop: %i\n", curElem);
	elementCount = curElem;
	delete[] facemask;
}

bool on_ground(int face)
{
	const realvert_s* v = &city->data[3 * face];
	return v[0].pos.y <= 0.0f && v[1].pos.y <= 0.0f && v[2].pos.y <= 0.0f;
}

// Ground plan of a face, x and z.
void face_plan(int face, glm::vec2* lo, glm::vec2* hi)
{
	const realvert_s* v = &city->data[3 * face];
	*lo = *hi = glm::vec2(v[0].pos.x, v[0].pos.z);
	for (int k = 1; k < 3; k++) {
		*lo = glm::min(*lo, glm::vec2(v[k].pos.x, v[k].pos.z));
		*hi = glm::max(*hi, glm::vec2(v[k].pos.x, v[k].pos.z));
	}
}

int group_root(int* parent, int i)
{
	while (parent[i] != i)
		i = parent[i] = parent[parent[i]];
	return i;
}

// Labels each face of the list (n faces) with its group: -1 for the
// ground, else the first position in the list of a face of its building.
void label_buildings(const GLushort* list, int n, int* label)
{
	int* parent = new int[n];
	glm::vec2* lo = new glm::vec2[n];
	glm::vec2* hi = new glm::vec2[n];
	for (int a = 0; a < n; a++) {
		parent[a] = a;
		face_plan(list[3 * a] / 3, &lo[a], &hi[a]);
	}
	for (int a = 0; a < n; a++) {
		if (on_ground(list[3 * a] / 3))
			continue;
		for (int b = a + 1; b < n; b++) {
			if (on_ground(list[3 * b] / 3) || glm::any(glm::greaterThan(lo[b], hi[a])) ||
				glm::any(glm::greaterThan(lo[a], hi[b])))
				continue;
			int ra = group_root(parent, a), rb = group_root(parent, b);
			parent[glm::max(ra, rb)] = glm::min(ra, rb);
		}
	}
	for (int a = 0; a < n; a++)
		label[a] = on_ground(list[3 * a] / 3) ? -1 : group_root(parent, a);
	delete[] parent;
	delete[] lo;
	delete[] hi;
}

// The quad that faces i and i + 1 make when they are the two halves of one
// flat convex quad (a b c, a c d), else face i alone; returns the corners.
int face_polygon(int i, bool pair, glm::vec3* p)
{
	const realvert_s* t = &city->data[3 * i];
	for (int k = 0; k < 3; k++)
		p[k] = t[k].pos;
	if (!pair)
		return 3;
	const realvert_s* u = t + 3;
	glm::vec3 n = glm::cross(p[1] - p[0], p[2] - p[0]);
	if (u[0].pos != p[0] || u[1].pos != p[2] || glm::length(n) <= 0.0f ||
		fabsf(glm::dot(u[2].pos - p[0], glm::normalize(n))) > 1e-3f)
		return 3;
	glm::vec3 q[4] = {p[0], p[1], p[2], u[2].pos};
	for (int k = 0; k < 4; k++) {
		glm::vec3 turn = glm::cross(q[(k + 1) % 4] - q[k], q[(k + 2) % 4] - q[(k + 1) % 4]);
		if (glm::dot(turn, n) <= 0.0f)
			return 3;
	}
	p[3] = q[3];
	return 4;
}

float polygon_area(const glm::vec3* p, int corners)
{
	glm::vec3 a = glm::cross(p[1] - p[0], p[2] - p[0]);
	if (corners == 4)
		a += glm::cross(p[2] - p[0], p[3] - p[0]);
	return 0.5f * glm::length(a);
}

// The way a corner flies when the city breaks, per unit of bomb_spread:
// the vertex shader's nor.yzx + uv.yxy.
glm::vec3 flight(const realvert_s& v)
{
	return glm::vec3(v.nor.y, v.nor.z, v.nor.x) + glm::vec3(v.tc.y, v.tc.x, v.tc.y);
}

// Appends the faces of the list labelled wanted, in order, to the block's
// rewritten list at elements + *written as one group.
void add_group(const GLushort* list, const int* label, int n, int wanted, int* written)
{
	group_s& g = groups[group_count++];
	g.first = *written;
	g.count = 0;
	g.lo = glm::vec3(1e30f);
	g.hi = glm::vec3(-1e30f);
	g.flight_lo = glm::vec3(1e30f);
	g.flight_hi = glm::vec3(-1e30f);
	g.ground = wanted == -1;
	for (int a = 0; a < n; a++) {
		if (label[a] != wanted)
			continue;
		for (int k = 0; k < 3; k++) {
			elements[*written + k] = list[3 * a + k];
			g.lo = glm::min(g.lo, city->data[list[3 * a + k]].pos);
			g.hi = glm::max(g.hi, city->data[list[3 * a + k]].pos);
			g.flight_lo = glm::min(g.flight_lo, flight(city->data[list[3 * a + k]]));
			g.flight_hi = glm::max(g.flight_hi, flight(city->data[list[3 * a + k]]));
		}
		*written += 3;
		g.count += 3;
	}
}

// The occluders of a building's group, from its faces in order: a quad's
// two halves follow each other.
int add_occluders(const group_s& g, int count)
{
	int end = (g.first + g.count) / 3;
	for (int i = g.first / 3; i < end; i++) {
		int face = elements[3 * i] / 3;
		bool pair = i + 1 < end && elements[3 * i + 3] == 3 * (face + 1);
		occluder_s& o = occluders[count];
		o.corners = face_polygon(face, pair, o.p);
		if (o.corners == 4)
			i++;
		if (polygon_area(o.p, o.corners) >= occluder_area)
			count++;
	}
	return count;
}

// Reorders each block's list into its groups: the ground, then the
// buildings by their first face.
void group_blocks()
{
	int faces = elementCount / 3;
	delete[] groups;
	delete[] occluders;
	delete[] queue;
	groups = new group_s[faces + block_count + 1];
	occluders = new occluder_s[faces + 1];
	GLushort* list = new GLushort[elementCount + 1];
	int* label = new int[faces + 1];
	group_count = 0;
	int occluder_count = 0;
	for (int j = 0; j < block_count; j++) {
		blockGroups[j] = group_count;
		int n = blockElementsCount[j] / 3;
		int written = (int)(blockElements[j] - elements);
		std::copy(blockElements[j], blockElements[j] + 3 * n, list);
		label_buildings(list, n, label);
		if (std::count(label, label + n, -1))
			add_group(list, label, n, -1, &written);
		for (int a = 0; a < n; a++) {
			if (label[a] == a)
				add_group(list, label, n, a, &written);
		}
	}
	blockGroups[block_count] = group_count;
	for (int g = 0; g < group_count; g++) {
		groups[g].occluders = occluder_count;
		if (!groups[g].ground)
			occluder_count = add_occluders(groups[g], occluder_count);
	}
	groups[group_count].occluders = occluder_count;
	queue = new blockdraw_s[tile_count * (group_count + 1)];
	delete[] list;
	delete[] label;
}

// True when corner a sorts before corner b, by their bytes.
bool corner_before(int a, int b)
{
	return memcmp(&city->data[a], &city->data[b], sizeof(realvert_s)) < 0;
}

// The buffer holds each distinct corner once and buffer_elements points at
// those: a GL shades a corner that several faces of one draw share once.
// elements itself keeps the model's own corner numbers for the culling.
void upload_city()
{
	int corners = 3 * city->fcnt;
	int* order = new int[corners];
	GLushort* shared = new GLushort[corners];
	realvert_s* unique = new realvert_s[corners];
	for (int i = 0; i < corners; i++)
		order[i] = i;
	std::stable_sort(order, order + corners, corner_before);
	int count = 0;
	for (int i = 0; i < corners; i++) {
		if (i == 0 || corner_before(order[i - 1], order[i]))
			unique[count++] = city->data[order[i]];
		shared[order[i]] = (GLushort)(count - 1);
	}
	delete[] buffer_elements;
	delete[] frame_elements;
	buffer_elements = new GLushort[elementCount > 0 ? elementCount : 1];
	frame_elements = new GLushort[(size_t)tile_count * (elementCount > 0 ? elementCount : 1)];
	for (int i = 0; i < elementCount; i++)
		buffer_elements[i] = shared[elements[i]];

	if (!city_buffer) {
		glGenBuffers(1, &city_buffer);
		glGenBuffers(1, &frame_buffer);
	}
	glBindBuffer(GL_ARRAY_BUFFER, city_buffer);
	glBufferData(GL_ARRAY_BUFFER, sizeof(realvert_s) * count, unique, GL_STATIC_DRAW);
	glBindBuffer(GL_ARRAY_BUFFER, 0);
	delete[] order;
	delete[] shared;
	delete[] unique;
}

// Cells of the clearance grid covered by [lo, hi] of a tile at the origin.
void clearance_box(glm::vec2 lo, glm::vec2 hi, float height)
{
	int x0 = glm::max(0, (int)floorf((lo.x + 400.0f) / clear_cell));
	int z0 = glm::max(0, (int)floorf((lo.y + 400.0f) / clear_cell));
	int x1 = glm::min(clear_cells - 1, (int)floorf((hi.x + 400.0f) / clear_cell));
	int z1 = glm::min(clear_cells - 1, (int)floorf((hi.y + 400.0f) / clear_cell));
	for (int z = z0; z <= z1; z++)
		for (int x = x0; x <= x1; x++)
			clearance[z * clear_cells + x] = glm::max(clearance[z * clear_cells + x], height);
}

// Whether the box from lo to hi touches a block border in x or z.
bool on_border(glm::vec3 lo, glm::vec3 hi)
{
	for (int k = 0; k <= 4; k++) {
		float b = k * block_size - 400.0f;
		if ((lo.x <= b && b <= hi.x) || (lo.z <= b && b <= hi.z))
			return true;
	}
	return false;
}

// The height above which the camera sees no face from behind: every face
// raises the cells within clear_margin of it (neighbouring tiles included)
// to clear_margin above its top. A building that a border cuts could be
// drawn in part, open; only the flat ground may reach a border. A face
// wound against its normal would be skipped from the front.
void build_clearance()
{
	if (!clearance)
		clearance = new float[clear_cells * clear_cells];
	std::fill(clearance, clearance + clear_cells * clear_cells, clear_margin);
	closed_blocks = true;
	for (int i = 0; i < city->fcnt; i++) {
		glm::vec3 lo(city->data[3 * i].pos), hi(lo);
		for (int k = 1; k < 3; k++) {
			lo = glm::min(lo, city->data[3 * i + k].pos);
			hi = glm::max(hi, city->data[3 * i + k].pos);
		}
		if ((lo.y != 0.0f || hi.y != 0.0f) && on_border(lo, hi))
			closed_blocks = false;
		const realvert_s* v = &city->data[3 * i];
		if (glm::dot(glm::cross(v[1].pos - v[0].pos, v[2].pos - v[0].pos), v[0].nor) <= 0.0f)
			closed_blocks = false;
		glm::vec2 lo2 = glm::vec2(lo.x, lo.z) - clear_margin, hi2 = glm::vec2(hi.x, hi.z) + clear_margin;
		for (int tx = -1; tx <= 1; tx++)
			for (int tz = -1; tz <= 1; tz++) {
				glm::vec2 shift(tx * tile_size, tz * tile_size);
				clearance_box(lo2 + shift, hi2 + shift, hi.y + clear_margin);
			}
	}
}

// How far the faces fly apart: nothing until citybomb passes 1.4; below
// that it only brightens them.
float bomb_spread()
{
	return glm::max(citybomb - 1.4f, 0.0f) * 900.0f;
}

// True when skipping back faces cannot change the picture: the geometry is
// undeformed, the blocks are closed, and neither the camera nor its near
// plane (reaching near_reach from it) touches a building. campos is
// relative to the origin of the tile under the camera.
bool backfaces_hidden(glm::vec3 campos, float near_reach)
{
	if (!closed_blocks || !clearance || bomb_spread() > 0.0f || near_reach > clear_margin)
		return false;
	int x = glm::clamp((int)floorf((campos.x + 400.0f) / clear_cell), 0, clear_cells - 1);
	int z = glm::clamp((int)floorf((campos.z + 400.0f) / clear_cell), 0, clear_cells - 1);
	return campos.y > clearance[z * clear_cells + x];
}

// The bounds of group g's faces flown spread (never below 0) apart.
void flown_bounds(const group_s& g, float spread, glm::vec3* lo, glm::vec3* hi)
{
	*lo = g.lo + g.flight_lo * spread;
	*hi = g.hi + g.flight_hi * spread;
}

// Queues the groups of the blocks in citymask of the tile at offset;
// returns the new count.
int queue_tile(int tile, glm::vec3 campos, glm::vec3 offset, int citymask, int n)
{
	float spread = bomb_spread();
	for (int b = 0; b < block_count; b++) {
		if (!(citymask & (1 << b)))
			continue;
		for (int g = blockGroups[b]; g < blockGroups[b + 1]; g++) {
			glm::vec3 lo, hi;
			flown_bounds(groups[g], spread, &lo, &hi);
			lo += offset;
			hi += offset;
			queue[n].dist = glm::distance(campos, glm::clamp(campos, lo, hi));
			if (groups[g].ground)
				queue[n].dist += ground_last;
			queue[n].tile = tile;
			queue[n].group = g;
			n++;
		}
	}
	return n;
}

// The groups of the visible blocks of the 3 x 3 tiles around the camera,
// tile by tile and block by block; possi2 is the origin of the tile under
// the camera.
int queue_city(const glm::mat4& mv, glm::vec3 possi, glm::vec3 possi2, const plane_t* planes)
{
	int n = 0;
	int tile = 0;
	for (int tx = -1; tx <= 1; tx++) {
		for (int tz = -1; tz <= 1; tz++, tile++) {
			glm::vec3 offs = possi2 + glm::vec3(tx * tile_size, 0.0f, tz * tile_size);
			int mask = constructCitymask(possi, planes, offs, CityMaxDistance);
			tile_mvp[tile] = phone_projection * glm::translate(mv, offs);
			tile_offset[tile] = offs;
			n = queue_tile(tile, possi, offs, mask, n);
		}
	}
	return n;
}

// Nearest first; a stable sort, so equal distances keep the queue's order.
void sort_queue(int n)
{
	for (int i = 1; i < n; i++) {
		blockdraw_s d = queue[i];
		int j = i;
		for (; j > 0 && queue[j - 1].dist > d.dist; j--)
			queue[j] = queue[j - 1];
		queue[j] = d;
	}
}

// The frustum's planes turned, where a mirroring camera turned them in, to
// face out again.
void face_out(const plane_t* planes, const glm::vec3* corners, plane_t* out)
{
	glm::vec3 inside(0.0f);
	for (int i = 0; i < 8; i++)
		inside += corners[i] / 8.0f;
	for (int k = 0; k < 4; k++) {
		out[k] = planes[k];
		if (glm::dot(inside, out[k].n) - out[k].d > 0.0f) {
			out[k].n = -out[k].n;
			out[k].d = -out[k].d;
		}
	}
}

// Appends to frame_elements the faces of group g that the faces kept
// before it do not hide, or all of them when nothing is culled; returns
// how many indices it added. Faces flown apart (spread above 0) are no
// longer the flat walls of the occluders: each face kept then covers for
// the ones after it itself.
int keep_faces(const group_s& g, const glm::mat4& mvp, bool cull, float spread, int facing)
{
	GLushort* out = frame_elements + frame_element_count;
	int n = 0;
	for (int k = g.first; k < g.first + g.count; k += 3) {
		if (cull) {
			glm::vec3 corners[3];
			for (int j = 0; j < 3; j++) {
				const realvert_s& v = city->data[elements[k + j]];
				corners[j] = spread > 0.0f ? v.pos + flight(v) * spread : v.pos;
			}
			if (occlusion_face_hidden(mvp, corners, 3))
				continue;
			if (spread > 0.0f)
				occlusion_add(mvp, corners, 3, facing);
		}
		for (int j = 0; j < 3; j++)
			out[n++] = buffer_elements[k + j];
	}
	frame_element_count += n;
	return n;
}

// Drops from the queue, nearest first, the groups outside the frustum and
// those that the faces kept before them hide, and lists the faces of the
// rest that those do not hide; returns how many groups are left. facing
// tells which faces are drawn (see occlusion_add).
int cull_hidden(int n, const plane_t* planes, int facing)
{
	float near_w = 1.0f, far_w = 1.0f;
	float spread = bomb_spread();
	bool cull = occlusion_range(phone_projection, &near_w, &far_w);
	occlusion_begin(near_w, far_w);  // empty, for the backdrop, when nothing is culled
	int kept = 0;
	frame_element_count = 0;
	for (int i = 0; i < n; i++) {
		const group_s& g = groups[queue[i].group];
		glm::vec3 offset = tile_offset[queue[i].tile];
		const glm::mat4& mvp = tile_mvp[queue[i].tile];
		if (!g.count)
			continue;
		glm::vec3 lo, hi;
		flown_bounds(g, spread, &lo, &hi);
		if (cull && (!testBb(planes, lo + offset, hi + offset) || occlusion_hidden(mvp, lo, hi)))
			continue;
		queue[i].first = frame_element_count;
		queue[i].count = keep_faces(g, mvp, cull, spread, facing);
		if (!queue[i].count)
			continue;
		queue[kept++] = queue[i];
		if (!cull || spread > 0.0f)
			continue;
		for (int k = g.occluders; k < (&g)[1].occluders; k++)
			occlusion_add(mvp, occluders[k].p, occluders[k].corners, facing);
	}
	return kept;
}

// Streams this frame's faces to the GL and draws them, one call for each
// run of groups of one tile.
void draw_queue(int n)
{
	glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(GLushort) * frame_element_count, frame_elements, GL_STREAM_DRAW);
	for (int i = 0; i < n;) {
		int tile = queue[i].tile;
		glUniformMatrix4fv(loc.mvp, 1, GL_FALSE, glm::value_ptr(tile_mvp[tile]));
		int first = queue[i].first, count = 0;
		for (; i < n && queue[i].tile == tile; i++)
			count += queue[i].count;
		glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, (const void*)(sizeof(GLushort) * first));
	}
}

void find_locations()
{
	loc.mvp = shader.uniform("mvp");
	loc.mv = shader.uniform("mv");
	loc.lightdir = shader.uniform("lightdir");
	loc.bomb = shader.uniform("bomb");
	loc.bomb2 = shader.uniform("bomb2");
	loc.u_dist = shader.uniform("u_dist");
	loc.tex = shader.uniform("tex");
	loc.pos = shader.attrib("pos");
	loc.uv = shader.attrib("uv");
	loc.nor = shader.attrib("nor");
}

const glm::vec3 lightdir = glm::normalize(glm::vec3(1.0f, 1.0f, 0.5f));

void set_uniforms(const glm::mat4& mv)
{
	glm::mat3 mv3(mv);
	glUniform1f(loc.bomb, citybomb);
	glUniform1f(loc.bomb2, bomb_spread());
	glUniform1f(loc.u_dist, glm::clamp(CityMaxDistance - 200.0f, 0.0f, 1000.0f));
	glUniformMatrix3fv(loc.mv, 1, GL_FALSE, glm::value_ptr(mv3));
	glUniform3fv(loc.lightdir, 1, glm::value_ptr(lightdir));
	shader.texture(loc.tex, 0, tex);
}

// Binds the city's buffers for draw_queue, or unbinds them.
void set_arrays(bool on)
{
	if (!on) {
		shader.array(loc.pos, 0, 0, 0, 0);
		shader.array(loc.uv, 0, 0, 0, 0);
		shader.array(loc.nor, 0, 0, 0, 0);
		glBindBuffer(GL_ARRAY_BUFFER, 0);
		glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
		return;
	}
	glBindBuffer(GL_ARRAY_BUFFER, city_buffer);
	glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, frame_buffer);
	shader.buffer_array(loc.pos, 3, GL_FLOAT, sizeof(realvert_s), offsetof(realvert_s, pos));
	shader.buffer_array(loc.uv, 2, GL_FLOAT, sizeof(realvert_s), offsetof(realvert_s, tc));
	shader.buffer_array(loc.nor, 3, GL_FLOAT, sizeof(realvert_s), offsetof(realvert_s, nor));
}

// The city seen through mv: the visible buildings nearest first, back faces
// skipped where that cannot change the picture, hidden buildings not at
// all. Returns the groups drawn.
int draw_city(const glm::mat4& mv)
{
	glm::mat4 mv_inv = glm::inverse(mv);
	glm::vec3 possi(mv_inv[3]);

	glm::vec3 frustumverts[8];
	plane_t frustumplanes[4];
	calc_frustum(phone_projection, mv_inv, frustumverts, frustumplanes);
	float near_reach = 0.0f;
	for (int i = 0; i < 4; i++)
		near_reach = glm::max(near_reach, glm::distance(possi, frustumverts[i]));

	shader.use();
	set_uniforms(mv);
	set_arrays(true);

	glm::vec3 possi2 = tile_size * glm::floor((possi + glm::vec3(400.0f, 0.0f, 400.0f)) / tile_size);
	int n = queue_city(mv, possi, possi2, frustumplanes);
	sort_queue(n);
	bool cull = backfaces_hidden(possi - possi2, near_reach);
	// a mirroring camera turns the winding round
	bool mirrored = glm::determinant(glm::mat3(mv)) < 0.0f;
	plane_t outward[4];
	face_out(frustumplanes, frustumverts, outward);
	n = cull_hidden(n, outward, cull ? (mirrored ? -1 : 1) : 0);
	if (cull) {
		glFrontFace(mirrored ? GL_CW : GL_CCW);
		glCullFace(GL_BACK);
		glEnable(GL_CULL_FACE);
	}
	draw_queue(n);
	if (cull) {
		glDisable(GL_CULL_FACE);
		glFrontFace(GL_CCW);
	}

	set_arrays(false);
	return n;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(city_vs, city_fs);
		find_locations();
		city = new model_c("city08.obj");
		tex.load("gfx/city08_diffuse.png", TEX_REPEAT);
		split();
		group_blocks();
		upload_city();
		build_clearance();
	}
	void step();
	void draw();
};

void effect_c::step()
{
	static spring_c<float> camang(0.0f, 0.0f, 0.002f, 0.4f);
	static spring_c<float> camang2(0.0f, 0.0f, 0.002f, 0.4f);

	static sync_c camdown1("tunnel_camdown1", 137, 0);
	static sync_c camdown2("tunnel_camdown2", 150, 0);
	static sync_c camup1("tunnel_camup1", 176, 0);
	static sync_c camup2("tunnel_camup2", 192, 0);
	if (camdown1.once()) {
		camang.targetpos = -20.0f;
		camang2.targetpos = 30.0f;
	}
	if (camdown2.once()) {
		camang.targetpos = -40.0f;
		camang2.targetpos = 90.0f;
	}
	if (camup1.once())
		camang.targetpos = 20.0f;
	if (camup2.once())
		camang.targetpos = -10.0f;

	camang.iterate(frameskip);
	camang2.iterate(frameskip);
	camPitch = camang.pos;
	camYaw = camang2.pos;
}

void effect_c::draw()
{
	glm::mat4 mv = phone_rotation_mv;
	mv = rotate_deg(mv, camPitch, glm::vec3(0, 1, 0));
	mv = rotate_deg(mv, camYaw, glm::vec3(1, 0, 0));
	mv = rotate_deg(mv, -90.0f, glm::vec3(0, 0, 1));
	mv = glm::translate(mv, tunnelflyer.pos - glm::vec3(0.0f, 50.0f, 0.0f));
	mv = glm::translate(mv, glm::vec3(0.0f, -170.0f, 0.0f));

	draw_city(mv);
}

effect_c effect;

}  // namespace

demoeffect_c* tunnel = &effect;

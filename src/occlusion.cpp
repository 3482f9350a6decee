#include "occlusion.h"

#include <math.h>
#include <algorithm>
#include <string.h>

// Depth is kept as 1/w, w the distance along the view axis: over a flat
// face it changes linearly across the screen, and larger is nearer. A cell
// holds the 1/w that every pixel of it is sure to be covered at or nearer
// than; 0 covers nothing.
static const int cells_x = 96;
static const int cells_y = 54;
static const float depth_margin = 1e-3f;  // relative: the GL rounds depth
static const float edge_margin = 1e-4f;   // device units, a tenth of a pixel at 1920
static float cover[cells_y][cells_x];
static float corner_depth[(cells_y + 1) * (cells_x + 1)];  // scratch of occlusion_add
static float view_near = 1.0f;
static float view_far = 1.0f;

void occlusion_begin(float near_w, float far_w)
{
	memset(cover, 0, sizeof cover);
	view_near = near_w;
	view_far = far_w;
}

bool occlusion_range(const glm::mat4& projection, float* near_w, float* far_w)
{
	if (projection[2][3] != -1.0f || projection[3][3] != 0.0f)
		return false;
	float c = projection[2][2], d = projection[3][2];
	*near_w = d / (c - 1.0f);
	*far_w = d / (c + 1.0f);
	return *near_w > 0.0f && *far_w > *near_w;
}

// Column (or row) of the cell at device coordinate v.
static int cell(float v, int cells)
{
	int c = (int)floorf((v + 1.0f) * 0.5f * cells);
	return c < 0 ? 0 : (c >= cells ? cells - 1 : c);
}

// The x range, in device units, where an outline crosses the band of y
// from y0 to y1: its edges (pairs of corners p on the screen) cut to the
// band reach the outline's leftmost and rightmost points there.
static bool band_span(const glm::vec2* p, const int (*edges)[2], int edge_count, float y0, float y1,
	float* x0, float* x1)
{
	*x0 = 1e30f;
	*x1 = -1e30f;
	for (int k = 0; k < edge_count; k++) {
		glm::vec2 u = p[edges[k][0]], v = p[edges[k][1]];
		if (u.y > v.y)
			std::swap(u, v);
		if (v.y < y0 || u.y > y1)
			continue;
		float dy = v.y - u.y;
		for (float y : {glm::max(u.y, y0), glm::min(v.y, y1)}) {
			float x = dy > 0.0f ? u.x + (v.x - u.x) * (y - u.y) / dy : u.x;
			*x0 = glm::min(*x0, dy > 0.0f ? x : glm::min(u.x, v.x));
			*x1 = glm::max(*x1, dy > 0.0f ? x : glm::max(u.x, v.x));
		}
	}
	return *x0 <= *x1;
}

// True when every cell the outline reaches, row by row, is covered nearer
// than nearest (its largest 1/w).
static bool outline_hidden(const glm::vec2* p, int count, const int (*edges)[2], int edge_count, float nearest)
{
	float low = 1e30f, high = -1e30f;
	for (int k = 0; k < count; k++) {
		low = glm::min(low, p[k].y);
		high = glm::max(high, p[k].y);
	}
	float need = nearest * (1.0f + depth_margin);
	float band = 2.0f / cells_y;
	for (int y = cell(low, cells_y); y <= cell(high, cells_y); y++) {
		float x0, x1;
		if (!band_span(p, edges, edge_count, y * band - 1.0f, (y + 1) * band - 1.0f, &x0, &x1))
			continue;
		for (int x = cell(x0, cells_x); x <= cell(x1, cells_x); x++) {
			if (!(cover[y][x] > need))
				return false;
		}
	}
	return true;
}

// Projects corners to the screen; false when one lies nearer than the
// near plane, where the outline is not the corners' own.
static bool project(const glm::mat4& mvp, const glm::vec3* corners, int count, glm::vec2* p, float* nearest)
{
	*nearest = 0.0f;
	for (int k = 0; k < count; k++) {
		glm::vec4 v = mvp * glm::vec4(corners[k], 1.0f);
		if (v.w < view_near)
			return false;
		p[k] = glm::vec2(v) / v.w;
		*nearest = glm::max(*nearest, 1.0f / v.w);
	}
	return true;
}

bool occlusion_hidden(const glm::mat4& mvp, glm::vec3 lo, glm::vec3 hi)
{
	static const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7},
		{0, 4}, {1, 5}, {2, 6}, {3, 7}};
	glm::vec3 c[8];
	for (int k = 0; k < 8; k++)
		c[k] = glm::vec3((k & 1) ? hi.x : lo.x, (k & 2) ? hi.y : lo.y, (k & 4) ? hi.z : lo.z);
	glm::vec2 p[8];
	float nearest;
	return project(mvp, c, 8, p, &nearest) && outline_hidden(p, 8, edges, 12, nearest);
}

bool occlusion_face_hidden(const glm::mat4& mvp, const glm::vec3* corners, int count)
{
	static const int edges[4][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
	static const int triangle[3][2] = {{0, 1}, {1, 2}, {2, 0}};
	glm::vec2 p[4];
	float nearest;
	if (count < 3 || count > 4 || !project(mvp, corners, count, p, &nearest))
		return false;
	return outline_hidden(p, count, count == 3 ? triangle : edges, count, nearest);
}

// The part of a convex face (clip coordinates c) beyond the near plane, as
// device x, y and 1/w; returns its corners, count + 1 at most.
static int clip_near(const glm::vec4* c, int count, glm::vec3* q)
{
	int n = 0;
	for (int k = 0; k < count; k++) {
		const glm::vec4& u = c[k];
		const glm::vec4& v = c[(k + 1) % count];
		if (u.w >= view_near)
			q[n++] = glm::vec3(u.x / u.w, u.y / u.w, 1.0f / u.w);
		if ((u.w >= view_near) != (v.w >= view_near)) {
			glm::vec4 p = glm::mix(u, v, (view_near - u.w) / (v.w - u.w));
			q[n++] = glm::vec3(p.x / view_near, p.y / view_near, 1.0f / view_near);
		}
	}
	return n;
}

void occlusion_add(const glm::mat4& mvp, const glm::vec3* corners, int count, int facing)
{
	if (count < 3 || count > 4)
		return;
	glm::vec4 c[4];
	for (int k = 0; k < count; k++) {
		c[k] = mvp * glm::vec4(corners[k], 1.0f);
		if (c[k].w > view_far)
			return;
	}
	glm::vec3 q[5];  // device x, y and 1/w
	count = clip_near(c, count, q);
	if (count < 3)
		return;
	float area = 0.0f;
	glm::vec2 a(1e30f), b(-1e30f);
	for (int k = 0; k < count; k++) {
		const glm::vec3& u = q[k];
		const glm::vec3& v = q[(k + 1) % count];
		area += u.x * v.y - v.x * u.y;
		a = glm::min(a, glm::vec2(u));
		b = glm::max(b, glm::vec2(u));
	}
	if (area * (float)facing < 0.0f || fabsf(area) < 1e-8f)
		return;
	// the grid points within the face's bounds, around one whole cell at least
	int x0 = glm::max(0, (int)ceilf((a.x + 1.0f) * 0.5f * cells_x));
	int x1 = glm::min(cells_x, (int)floorf((b.x + 1.0f) * 0.5f * cells_x));
	int y0 = glm::max(0, (int)ceilf((a.y + 1.0f) * 0.5f * cells_y));
	int y1 = glm::min(cells_y, (int)floorf((b.y + 1.0f) * 0.5f * cells_y));
	if (x1 <= x0 || y1 <= y0)
		return;

	// edges as n . p + c, the distance inside
	float side = area > 0.0f ? 1.0f : -1.0f;
	glm::vec3 edge[5];
	for (int k = 0; k < count; k++) {
		glm::vec2 u(q[k]), v(q[(k + 1) % count]);
		glm::vec2 n = side * glm::vec2(u.y - v.y, v.x - u.x);
		float len = glm::length(n);
		if (len <= 0.0f)
			return;
		n /= len;
		edge[k] = glm::vec3(n, -glm::dot(n, u));
	}
	// 1/w across the screen: A x + B y + C
	glm::vec3 d1 = q[1] - q[0], d2 = q[2] - q[0];
	float det = d1.x * d2.y - d2.x * d1.y;
	if (fabsf(det) < 1e-12f)
		return;
	float A = (d1.z * d2.y - d2.z * d1.y) / det;
	float B = (d2.z * d1.x - d1.z * d2.x) / det;
	float C = q[0].z - A * q[0].x - B * q[0].y;

	// 1/w at each grid point inside the face, -1 outside
	int row = x1 - x0 + 1;
	for (int y = y0; y <= y1; y++) {
		float py = y * (2.0f / cells_y) - 1.0f;
		float* out = &corner_depth[(y - y0) * row];
		for (int x = x0; x <= x1; x++) {
			float px = x * (2.0f / cells_x) - 1.0f;
			float iw = A * px + B * py + C;
			for (int k = 0; k < count; k++) {
				if (edge[k].x * px + edge[k].y * py + edge[k].z < edge_margin)
					iw = -1.0f;
			}
			out[x - x0] = iw;
		}
	}
	// a cell with all four corners inside is covered, at least as near as
	// its farthest corner
	for (int y = y0; y < y1; y++) {
		const float* below = &corner_depth[(y - y0) * row];
		const float* above = below + row;
		for (int x = 0; x < row - 1; x++) {
			float iw = glm::min(glm::min(below[x], below[x + 1]), glm::min(above[x], above[x + 1]));
			if (iw > cover[y][x0 + x])
				cover[y][x0 + x] = iw;
		}
	}
}

int occlusion_open(occlusion_rect_s* out, int max)
{
	int count = 0;
	for (int y = 0; y < cells_y; y++) {
		float y0 = y * (2.0f / cells_y) - 1.0f, y1 = (y + 1) * (2.0f / cells_y) - 1.0f;
		for (int x = 0; x < cells_x;) {
			if (cover[y][x] > 0.0f) {
				x++;
				continue;
			}
			int a = x;
			while (x < cells_x && !(cover[y][x] > 0.0f))
				x++;
			float x0 = a * (2.0f / cells_x) - 1.0f, x1 = x * (2.0f / cells_x) - 1.0f;
			// the same run in the row below grows that rectangle
			int k = 0;
			while (k < count && !(out[k].y1 == y0 && out[k].x0 == x0 && out[k].x1 == x1))
				k++;
			if (k < count) {
				out[k].y1 = y1;
				continue;
			}
			if (count == max)
				return -1;
			out[count++] = occlusion_rect_s{x0, y0, x1, y1};
		}
	}
	return count;
}

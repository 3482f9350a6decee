// A coarse grid over the screen that remembers how near the faces drawn so
// far cover each of its cells, so that a group of faces wholly behind them
// can be skipped before it is drawn. Every answer errs towards drawing.
#pragma once

#include <glm/glm.hpp>

// Empties the grid for a view whose near and far planes lie at these
// distances along the view axis.
void occlusion_begin(float near_w, float far_w);

// The near and far distances of a perspective projection; false for any
// other projection.
bool occlusion_range(const glm::mat4& projection, float* near_w, float* far_w);

// True when every cell the box from lo to hi can reach on the screen is
// covered nearer than the box: nothing of it can show.
bool occlusion_hidden(const glm::mat4& mvp, glm::vec3 lo, glm::vec3 hi);

// The same for a flat convex face of 3 or 4 corners.
bool occlusion_face_hidden(const glm::mat4& mvp, const glm::vec3* corners, int count);

// A flat convex face of 3 or 4 corners, drawn opaque, now covers the cells
// its part beyond the near plane fills wholly. facing 1 counts it only if
// it turns counter-clockwise on the screen, -1 only if clockwise, 0 either
// way; a face that the far plane cuts does not count.
void occlusion_add(const glm::mat4& mvp, const glm::vec3* corners, int count, int facing);

// A rectangle of the screen in device coordinates, -1 to 1.
struct occlusion_rect_s {
	float x0, y0, x1, y1;
};

// The cells that no face covers, as at most max rectangles (rows of open
// cells, joined where rows match); -1 when they need more.
int occlusion_open(occlusion_rect_s* out, int max);

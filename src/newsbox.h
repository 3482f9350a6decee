// A small batcher of textured 2D boxes, flushed in one draw call.
#pragma once

class shader_c;

struct newsbox_vertex_s {
	float x, y;
	float u, v;
};

class newsbox_render_c {
public:
	static const int capacity = 1000;  // vertices, 166 boxes

	newsbox_vertex_s coordbuffer[capacity];
	int boxcount;  // vertices collected, six per box
	shader_c* shader;
	float texsize_x;
	float texsize_y;

	newsbox_render_c();
	void flush();
};

class newsbox_c {
public:
	newsbox_vertex_s coords[6];
	float color[4];
	float cs_x;
	float cs_y;
	newsbox_render_c* renderer;

	void resize(float xs, float ys);
	void settex(float x1, float y1, float x2, float y2);
	void set(float x1, float y1, float x2, float y2);
	void setcol(float r, float g, float b, float a);
	void draw(float xo, float yo, float zo);
};

#include "newsbox.h"

#include "shader.h"

newsbox_render_c::newsbox_render_c() : boxcount(0), shader(0), texsize_x(1.0f), texsize_y(1.0f)
{
}

void newsbox_render_c::flush()
{
	if (boxcount == 0)
		return;
	shader->array("pos", 2, GL_FLOAT, sizeof(newsbox_vertex_s), &coordbuffer[0].x);
	shader->array("uv", 2, GL_FLOAT, sizeof(newsbox_vertex_s), &coordbuffer[0].u);
	glDrawArrays(GL_TRIANGLES, 0, boxcount);
	boxcount = 0;
}

void newsbox_c::resize(float xs, float ys)
{
	cs_x = xs;
	cs_y = ys;
	const float x[6] = { 0, xs, 0, xs, xs, 0 };
	const float y[6] = { 0, 0, ys, 0, ys, ys };
	for (int i = 0; i < 6; i++) {
		coords[i].x = x[i];
		coords[i].y = y[i];
	}
}

void newsbox_c::settex(float x1, float y1, float x2, float y2)
{
	x1 /= renderer->texsize_x;
	x2 /= renderer->texsize_x;
	y1 /= renderer->texsize_y;
	y2 /= renderer->texsize_y;
	const float u[6] = { x1, x2, x1, x2, x2, x1 };
	const float v[6] = { y1, y1, y2, y1, y2, y2 };
	for (int i = 0; i < 6; i++) {
		coords[i].u = u[i];
		coords[i].v = v[i];
	}
}

void newsbox_c::set(float x1, float y1, float x2, float y2)
{
	settex(x1, y1, x2, y2);
	if (x1 > x2) {
		float t = x1; x1 = x2; x2 = t;
	}
	if (y1 > y2) {
		float t = y1; y1 = y2; y2 = t;
	}
	resize(x2 - x1, y2 - y1);
	setcol(1, 1, 1, 1);
}

void newsbox_c::setcol(float r, float g, float b, float a)
{
	color[0] = r;
	color[1] = g;
	color[2] = b;
	color[3] = a;
}

void newsbox_c::draw(float xo, float yo, float zo)
{
	(void)zo;
	// A full batch is sent early rather than overrun.
	if (renderer->boxcount + 6 > newsbox_render_c::capacity)
		renderer->flush();
	for (int i = 0; i < 6; i++) {
		newsbox_vertex_s& v = renderer->coordbuffer[renderer->boxcount++];
		v.x = coords[i].x + xo;
		v.y = coords[i].y + yo;
		v.u = coords[i].u;
		v.v = coords[i].v;
	}
}

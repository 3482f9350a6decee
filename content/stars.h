// What the two starfields share: 5000 points whose colour the vertex
// shader works out, drawn from one array of positions.
#pragma once

#include <glm/glm.hpp>

#include "../src/shader.h"

const int starcount = 5000;

const char* const star_fs =
	FRAG_HEAD
	"varying vec4 v_col;\n"
	"void main() {\n"
	"	gl_FragColor = v_col;\n"
	"}\n";

// Builds the program and lays every star out, in order, with the
// starfield's own reset(i, spread, base).
inline void init_stars(shader_c& shader, const char* vs,
	void (*reset)(int i, float spread, float base), float spread, float base)
{
	shader.init(vs, star_fs);
	for (int i = 0; i < starcount; i++)
		reset(i, spread, base);
}

// Draws the stars through the attribute "pos"; the program is in use.
inline void draw_stars(shader_c& shader, const glm::vec3* stars)
{
	shader.array("pos", 3, GL_FLOAT, 12, stars);
	glDrawArrays(GL_POINTS, 0, starcount);
	shader.array("pos", 0, 0, 0, 0);
}

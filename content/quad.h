// The one rectangle the picture, overlay and pattern effects draw: the unit
// square as two triangles, (0, 0) to (1, 1).
#pragma once

#include <glm/glm.hpp>

#include "../src/shader.h"

const glm::vec2 unit_quad[6] = {
	glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(0, 1),
	glm::vec2(1, 0), glm::vec2(1, 1), glm::vec2(0, 1)};

// Draws it through the attribute "pos" and, with_uv, also "uv" with the
// same coordinates; the arrays are disabled again afterwards.
inline void draw_unit_quad(shader_c& shader, bool with_uv)
{
	shader.array("pos", 2, GL_FLOAT, 8, unit_quad);
	if (with_uv)
		shader.array("uv", 2, GL_FLOAT, 8, unit_quad);
	glDrawArrays(GL_TRIANGLES, 0, 6);
	shader.array("pos", 0, 0, 0, 0);
	if (with_uv)
		shader.array("uv", 0, 0, 0, 0);
}

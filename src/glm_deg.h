// The demo thinks in degrees; glm 0.9.9 takes radians. These two wrappers
// keep every call site in degrees.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

inline glm::mat4 perspective_deg(float fovy_degrees, float aspect, float znear, float zfar)
{
	return glm::perspective(glm::radians(fovy_degrees), aspect, znear, zfar);
}

inline glm::mat4 rotate_deg(const glm::mat4& m, float degrees, const glm::vec3& axis)
{
	return glm::rotate(m, glm::radians(degrees), axis);
}

// Fixed picture aspect of every projection in the demo (854 / 480).
const float demo_aspect = 1.7791667f;

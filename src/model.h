// Triangle meshes from Wavefront OBJ files, flattened into one interleaved
// corner array for a single GL_TRIANGLES draw.
#pragma once

#include <glm/glm.hpp>
#include "gl.h"

struct facei_s {
	GLuint v1, v2, v3;
	GLuint t1, t2, t3;
	GLuint n1, n2, n3;
};

struct realvert_s {
	glm::vec3 pos;
	glm::vec2 tc;
	glm::vec3 nor;
	realvert_s() : pos(0.0f), tc(0.0f), nor(0.0f) {}
};

class model_c {
public:
	static const int maxverts = 6000;
	static const int maxfaces = 7000;
	static const int max_line = 1000;  // characters of a line, its line end included

	glm::vec3* verts;
	glm::vec2* texcoords;
	glm::vec3* normals;
	facei_s* faces;
	int vcnt;
	int fcnt;
	int tcnt;
	int ncnt;
	glm::vec3 center;
	realvert_s* data;

	// Loads fn; on bad input prints one line naming the file and line and
	// ends the process with status 1.
	explicit model_c(const char* fn);
	// An empty model for load(), which reports bad input by returning false.
	model_c();
	~model_c();
	bool load(const char* fn);
	bool parseface(char* txt, facei_s* fec);
	void finalize_data();

private:
	const char* filename;
	int lineno;
	bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
	bool read_line(char* line);
	bool store_floats(const char* text, float* out, int count, int* cnt, const char* what);
	bool check_face(const facei_s& f);
};

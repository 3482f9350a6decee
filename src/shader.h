// One GLSL program of a vertex and a fragment shader.
#pragma once

#include <stddef.h>

#include "gl.h"

// Every fragment source starts with this: OpenGL ES wants a default
// precision, desktop GLSL 1.10 has none.
#ifdef QVD_GLES
#define FRAG_HEAD "precision highp float;\n"
#else
#define FRAG_HEAD ""
#endif

class texture_c;

class shader_c {
public:
	GLuint programid;

	// Attribute and uniform names seen so far, with their locations. A
	// lookup by name stays in the program: in a browser each GL query
	// waits for the GPU to finish everything queued before it.
	struct location_s {
		char name[32];
		GLint loc;
	};
	static const int max_locations = 24;
	location_s attribs[max_locations];
	location_s uniforms[max_locations];
	int attrib_count = 0;
	int uniform_count = 0;

	void init(const char* vp, const char* fp);
	void use();
	GLint attrib(const char* name);
	GLint uniform(const char* name);
	// Points the attribute at client memory, or disables it for a null pointer.
	void array(const char* name, GLint size, GLenum type, GLsizei stride, const void* pointer);
	void texture(const char* name, int texunit, texture_c& tex);
	// The same with locations looked up once, for per-frame draws.
	void array(GLint loc, GLint size, GLenum type, GLsizei stride, const void* pointer);
	// Points the attribute at offset bytes into the bound GL_ARRAY_BUFFER.
	void buffer_array(GLint loc, GLint size, GLenum type, GLsizei stride, size_t offset);
	void texture(GLint loc, int texunit, texture_c& tex);
};

#include "shader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"
#include "texture.h"

static GLuint compile_shader(GLenum type, const char* src)
{
	GLuint shader = glCreateShader(type);
	QVD_CHECK(shader != 0);
	glShaderSource(shader, 1, &src, NULL);
	glCompileShader(shader);

	GLint compiled = 0;
	glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
	char log[512];
	GLsizei loglen = 0;
	glGetShaderInfoLog(shader, sizeof(log), &loglen, log);
	// Warnings are worth seeing too, so the log is printed whenever there is one.
	if (loglen > 0 && log[0])
		fprintf(stderr, "%s (src: '%s')", log, src);
	QVD_CHECK(compiled);
	return shader;
}

#ifdef QVD_GLES
// Every fragment source asks for highp (FRAG_HEAD), which OpenGL ES 2 leaves
// to the driver: without it no shader compiles, so say so once, plainly.
static void need_fragment_highp()
{
	static bool checked = false;
	if (checked)
		return;
	checked = true;
	GLint range[2] = { 0, 0 }, precision = 0;
	glGetShaderPrecisionFormat(GL_FRAGMENT_SHADER, GL_HIGH_FLOAT, range, &precision);
	if (precision == 0) {
		fprintf(stderr, "the GL driver has no highp floats in fragment shaders, which every shader here needs\n");
		exit(1);
	}
}
#endif

void shader_c::init(const char* vp, const char* fp)
{
#ifdef QVD_GLES
	need_fragment_highp();
#endif
	GLuint vs = compile_shader(GL_VERTEX_SHADER, vp);
	GLuint fs = compile_shader(GL_FRAGMENT_SHADER, fp);
	GLuint tempprogram = glCreateProgram();
	QVD_CHECK(tempprogram);
	glAttachShader(tempprogram, vs);
	glAttachShader(tempprogram, fs);
	glLinkProgram(tempprogram);
	GLint linked = 0;
	glGetProgramiv(tempprogram, GL_LINK_STATUS, &linked);
	QVD_CHECK(linked);
	programid = tempprogram;
	attrib_count = 0;
	uniform_count = 0;
	use();
}

void shader_c::use()
{
	glUseProgram(programid);
}

// The location of name from the table, or from GL once, kept while there
// is room and the name fits.
static GLint remembered(shader_c::location_s* table, int* count, const char* name, GLuint program,
	GLint (*query)(GLuint, const GLchar*))
{
	for (int i = 0; i < *count; i++) {
		if (!strcmp(table[i].name, name))
			return table[i].loc;
	}
	GLint loc = query(program, name);
	if (*count < shader_c::max_locations && strlen(name) < sizeof(table[0].name)) {
		strcpy(table[*count].name, name);
		table[*count].loc = loc;
		(*count)++;
	}
	return loc;
}

static GLint attrib_location(GLuint program, const GLchar* name)
{
	return glGetAttribLocation(program, name);
}

static GLint uniform_location(GLuint program, const GLchar* name)
{
	return glGetUniformLocation(program, name);
}

GLint shader_c::attrib(const char* name)
{
	return remembered(attribs, &attrib_count, name, programid, attrib_location);
}

GLint shader_c::uniform(const char* name)
{
	return remembered(uniforms, &uniform_count, name, programid, uniform_location);
}

void shader_c::array(const char* name, GLint size, GLenum type, GLsizei stride, const void* pointer)
{
	array(attrib(name), size, type, stride, pointer);
}

void shader_c::array(GLint loc, GLint size, GLenum type, GLsizei stride, const void* pointer)
{
	if (loc < 0)
		return;  // the linker dropped an unused attribute
	if (pointer) {
		glVertexAttribPointer(loc, size, type, GL_FALSE, stride, pointer);
		glEnableVertexAttribArray(loc);
	} else {
		glDisableVertexAttribArray(loc);
	}
}

void shader_c::buffer_array(GLint loc, GLint size, GLenum type, GLsizei stride, size_t offset)
{
	if (loc < 0)
		return;
	glVertexAttribPointer(loc, size, type, GL_FALSE, stride, (const void*)offset);
	glEnableVertexAttribArray(loc);
}

void shader_c::texture(const char* name, int texunit, texture_c& tex)
{
	texture(uniform(name), texunit, tex);
}

void shader_c::texture(GLint loc, int texunit, texture_c& tex)
{
	glActiveTexture(GL_TEXTURE0 + texunit);
	tex.bind();
	glUniform1i(loc, texunit);
}

#include "shader.h"

#include <stdio.h>

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

void shader_c::init(const char* vp, const char* fp)
{
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
	use();
}

void shader_c::use()
{
	glUseProgram(programid);
}

GLint shader_c::attrib(const char* name)
{
	return glGetAttribLocation(programid, name);
}

GLint shader_c::uniform(const char* name)
{
	return glGetUniformLocation(programid, name);
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

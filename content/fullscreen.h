// The full-screen picture effects: one or two pictures through a fragment
// shader of the effect's own, on the unit square stretched over the whole
// target. The effect names its samplers "tex" (unit 0) and "tex2" (unit 1)
// and reads the varying v_uv, (0, 0) at the lower left to (1, 1), and the
// uniform "time", timeval, if it wants it.
#pragma once

#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"
#include "../src/texture.h"

// The square lies at the depth held in the uniform "depth".
const char* const fullscreen_vs =
	"attribute vec2 pos;\n"
	"uniform float depth;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, depth, 1.0);\n"
	"  v_uv = pos;\n"
	"}\n";

class picture_c {
public:
	shader_c shader;
	texture_c tex;   // left unloaded where the effect lends it a GL name
	texture_c tex2;  // bound only when a second file is given

	// Builds the program and loads the pictures, stored as RGB.
	void init(const char* fs, float depth, const char* file = 0, const char* file2 = 0)
	{
		shader.init(fullscreen_vs, fs);
		glUniform1f(shader.uniform("depth"), depth);
		time_loc = shader.uniform("time");
		two = file2 != 0;
		if (file)
			tex.load(file, TEX_RGB);
		if (two)
			tex2.load(file2, TEX_RGB);
	}

	// Makes the program current, for the effect's own uniforms; draw()
	// keeps them.
	void use()
	{
		shader.use();
	}

	// Sets the time, binds the pictures and draws.
	void draw()
	{
		shader.use();
		if (time_loc >= 0)
			glUniform1f(time_loc, timeval);
		shader.texture("tex", 0, tex);
		if (two)
			shader.texture("tex2", 1, tex2);
		draw_unit_quad(shader, false);
	}

private:
	bool two = false;
	GLint time_loc = -1;
};

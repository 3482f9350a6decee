// A full-screen quad showing whatever texture texturetesttex names; the
// timeline uses it for the white background of the opening.
#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/shader.h"

GLuint texturetesttex = 0;

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"attribute vec2 uv;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 / 1.0) + vec2(-1.0, -1.0);\n"
	"  gl_Position = vec4(norpos, 0.0, 1.0);\n"
	"  v_uv = pos * vec2(1.0, 1.0);\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(tex, v_uv);\n"
	"}\n";

shader_c shader;
texture_c tex;  // never loaded: borrows the GL name of texturetesttex


class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.flags = TEX_REPEAT;
	}

	void draw()
	{
		tex.textureid = texturetesttex;
		shader.use();
		shader.texture("tex", 0, tex);
		draw_unit_quad(shader, true);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* texturetest = &effect;

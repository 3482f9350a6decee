// The desktop the platform captured before the window covered it, over
// the whole viewport: the handheld's first picture, and on the 's' key.
#include "effects.h"
#include "../src/runtime/main.h"
#include "../src/shader.h"

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"varying vec2 v_uv;\n"
	"void main()\n"
	"{\n"
	"\tgl_Position = vec4(pos, 0.0, 1.0);\n"
	"\tv_uv = pos * 0.5 + 0.5;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"varying vec2 v_uv;\n"
	"uniform sampler2D tex;\n"
	"void main()\n"
	"{\n"
	"\tgl_FragColor = texture2D(tex, v_uv);\n"
	"}\n";

shader_c shader;
texture_c shottex;
const GLfloat ssverts[12] = { -1, -1, 1, -1, -1, 1, 1, -1, 1, 1, -1, 1 };

class effect_c : public demoeffect_c {
public:
	void init()
	{
		shader.init(vs, fs);
		shottex.fromsurface(screenshot_surface, 0);
	}

	void draw()
	{
		shader.use();
		shader.texture("tex", 0, shottex);
		shader.array("pos", 2, GL_FLOAT, 8, ssverts);
		glDrawArrays(GL_TRIANGLES, 0, 6);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* screenshot = &effect;

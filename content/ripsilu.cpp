// The ripsilu picture full screen, brightened by ripsilu_mm as its stage ends.
#include "effects.h"
#include "fullscreen.h"

float ripsilu_mm = 0.0f;
const float ripsilu_depth = 0.9f;  // as its vertex shader puts it

namespace {

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform float u_mm;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = vec4(texture2D(tex, v_uv).rgb + u_mm, 1.0);\n"
	"}\n";

picture_c picture;

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		picture.init(fs, 0.9f, "gfx/ripsilu.jpg");
	}

	void draw()
	{
		picture.use();
		glUniform1f(picture.shader.uniform("u_mm"), ripsilu_mm);
		picture.draw();
	}
};

effect_c effect;

}  // namespace

demoeffect_c* ripsilu = &effect;

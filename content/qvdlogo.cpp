// The group logo for the phone's screen, its mask added in moving bands.
#include "effects.h"
#include "fullscreen.h"

namespace {

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"uniform sampler2D tex2;\n"
	"uniform float time;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec3 base = texture2D(tex, v_uv).rgb;\n"
	"  float band = sin(time * -2.0 + v_uv.y * 60.0) + 2.0;\n"
	"  gl_FragColor = vec4(base + band * texture2D(tex2, v_uv).rgb * 0.33, 1.0);\n"
	"}\n";

picture_c picture;

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		picture.init(fs, 0.0f, "gfx/qvdlogo.jpg", "gfx/qvdlogomask.jpg");
	}

	void draw()
	{
		picture.draw();
	}
};

effect_c effect;

}  // namespace

demoeffect_c* qvdlogo = &effect;

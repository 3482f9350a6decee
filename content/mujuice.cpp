// Two pictures for the phone's screen: the first shaken sideways in
// saw-tooth bands, added to the second around mid-grey.
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
	"  vec2 uvx = v_uv + vec2(fract(v_uv.y * 40.0 + time * 1.0) * 0.02, 0.0)\n"
	"    + vec2(fract(v_uv.y * -30.0 + time * 1.0) * 0.02, 0.0);\n"
	"  vec3 t1 = texture2D(tex2, v_uv).rgb;\n"
	"  vec3 t2 = texture2D(tex, uvx).rgb;\n"
	"  gl_FragColor = vec4(t1 + t2 - vec3(0.5, 0.5, 0.5), 1.0);\n"
	"}\n";

picture_c picture;

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		picture.init(fs, 0.0f, "gfx/mujuice.jpg", "gfx/mujuice2.jpg");
	}

	void draw()
	{
		picture.draw();
	}
};

effect_c effect;

}  // namespace

demoeffect_c* mujuice = &effect;

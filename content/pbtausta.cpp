// The polyhedron stage's background picture, full screen and unchanged.
#include "effects.h"
#include "fullscreen.h"

const float pbtausta_depth = 0.9f;  // as its vertex shader puts it

namespace {

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = vec4(texture2D(tex, v_uv).rgb, 1.0);\n"
	"}\n";

picture_c picture;

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		picture.init(fs, 0.9f, "gfx/pb.jpg");
	}

	void draw()
	{
		picture.draw();
	}
};

effect_c effect;

}  // namespace

demoeffect_c* pbtausta = &effect;

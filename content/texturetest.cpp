// A full-screen quad showing whatever texture texturetesttex names; the
// timeline uses it for the white background of the opening. It lies at the
// far plane, so that drawn last with the depth test (less or equal) it
// fills only what nothing covers; without the test its depth is unused.
#include "effects.h"
#include "fullscreen.h"

GLuint texturetesttex = 0;

namespace {

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(tex, v_uv);\n"
	"}\n";

picture_c picture;  // its picture is never loaded: it borrows the GL name of texturetesttex

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		picture.init(fs, 1.0f);
		picture.tex.flags = TEX_REPEAT;
	}

	void draw()
	{
		picture.tex.textureid = texturetesttex;
		picture.draw();
	}
};

effect_c effect;

}  // namespace

demoeffect_c* texturetest = &effect;

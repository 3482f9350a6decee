// The face: first its backdrop fading from white to black, then the face
// picture fading in from black, lifted off the screen by ylift.
#include <math.h>

#include <glm/glm.hpp>

#include "effects.h"
#include "quad.h"
#include "../src/clock.h"
#include "../src/shader.h"

float ylift = 0.0f;
const float face_depth = 0.999f;  // as its vertex shader puts it

namespace {

const char* vs =
	"attribute vec2 pos;\n"
	"uniform vec2 ym;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec2 norpos = pos * vec2(2.0 / 1.0, 2.0 * 500.0 / 480.0) + ym;\n"
	"  gl_Position = vec4(norpos, 0.999, 1.0);\n"
	"  v_uv = pos;\n"
	"}\n";

const char* fs =
	FRAG_HEAD
	"uniform sampler2D tex2;\n"
	"uniform float u_mm;\n"
	"uniform float u_mmx;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"  vec3 t1 = texture2D(tex2, v_uv).rgb * u_mmx - u_mm;\n"
	"  gl_FragColor = vec4(t1, 1.0);\n"
	"}\n";

shader_c shader;
texture_c tex;   // the face
texture_c tex2;  // its backdrop


struct facemix_s {
	bool show_face;  // else the backdrop
	float mm;        // subtracted from the picture
	float mmx;       // picture gain
};

// From beat 256 the backdrop fades in from white, goes black by 270, and
// from there the face fades in from black.
facemix_s facemix(float beat)
{
	facemix_s m;
	float xxt = beat - 256.0f;
	float fl = 14.0f;
	if (xxt < fl) {
		m.show_face = false;
		m.mmx = glm::clamp(1.0f - (xxt - 12.0f) / 2.0f, 0.0f, 1.0f);
		m.mm = sqrtf(glm::clamp(xxt / 4.0f, 0.0f, 1.0f)) - 1.0f;
	} else {
		m.show_face = true;
		m.mmx = 1.0f;
		m.mm = glm::clamp(1.0f - (xxt - 14.0f) / 2.0f, 0.0f, 1.0f);
	}
	return m;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vs, fs);
		tex.load("gfx/face.jpg", 1);
		tex2.load("gfx/kallotausta.jpg", 1);
	}

	void draw()
	{
		facemix_s m = facemix(beatgrid);
		shader.use();
		shader.texture("tex2", 0, m.show_face ? tex : tex2);
		glUniform1f(shader.uniform("u_mm"), m.mm);
		glUniform1f(shader.uniform("u_mmx"), m.mmx);
		glUniform2f(shader.uniform("ym"), -1.0f, -1.0f - ylift - 0.08f);
		draw_unit_quad(shader, false);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* face = &effect;

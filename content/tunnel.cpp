// The city flown through after the phone: one tile of buildings repeated
// on an 800-unit grid, cut into 4 x 4 blocks that are culled against the
// view frustum and a draw distance.
#include <stdio.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/model.h"
#include "../src/shader.h"
#include "../src/sync.h"

float citybomb = 0.0f;
float CityMaxDistance = 1000.0f;
float camPitch = 0.0f;
float camYaw = 0.0f;

namespace {

// With no draw distance left (u_dist 0) the whole city is faded out
// instead of dividing by zero.
const char* city_vs =
	"attribute vec3 pos;\n"
	"attribute vec3 nor;\n"
	"attribute vec2 uv;\n"
	"uniform mat4 mvp;\n"
	"uniform mat3 mv;\n"
	"uniform vec3 lightdir;\n"
	"uniform float bomb;\n"
	"uniform float bomb2;\n"
	"uniform float u_dist;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	vec3 pos2 = pos + (nor.yzx + uv.yxy) * bomb2;\n"
	"	gl_Position = mvp * vec4(pos2, 1.0);\n"
	"	vec3 normal = mv * nor;\n"
	"	float zz = clamp(dot(lightdir, normal), 0.2, 1.0);\n"
	"	zz *= clamp((pos.y + 50.0) * 0.007, 0.0, 1.0);\n"
	"	float fade = u_dist > 0.0 ? clamp(gl_Position.z / u_dist, 0.0, 1.0) : 1.0;\n"
	"	zz *= 1.0 - fade * fade;\n"
	"	zz += bomb;\n"
	"	v_col = vec4(zz, zz, zz, 0.2);\n"
	"	v_uv = uv;\n"
	"}\n";

const char* city_fs =
	FRAG_HEAD
	"uniform sampler2D tex;\n"
	"varying vec4 v_col;\n"
	"varying vec2 v_uv;\n"
	"void main() {\n"
	"	vec4 c = texture2D(tex, v_uv) * v_col;\n"
	"	c.rgb += vec3(1.0, 1.0, 0.8) * c.a;\n"
	"	gl_FragColor = c;\n"
	"}\n";

const float tile_size = 800.0f;
const float block_size = 200.0f;
const float block_height = 585.0f;
const int block_count = 16;

struct plane_t {
	glm::vec3 n;  // unit normal, pointing out of the frustum
	float d;
};

shader_c shader;
texture_c tex;
model_c* city = 0;
GLushort* elements = 0;
GLushort* blockElements[block_count];
int blockElementsCount[block_count];

// Column (or row) of a block within the tile, from x (or z).
int block_cell(float v)
{
	if (v < -200.0f)
		return 0;
	if (v < 0.0f)
		return 1;
	if (v < 200.0f)
		return 2;
	return 3;
}

int block_of(const glm::vec3& p)
{
	return block_cell(p.x) + 4 * block_cell(p.z);
}

plane_t tritoplane(glm::vec3 a, glm::vec3 b, glm::vec3 c)
{
	plane_t p;
	p.n = glm::normalize(glm::cross(b - a, c - a));
	p.d = glm::dot(p.n, a);
	return p;
}

// World-space corners and the four side planes of the view frustum.
void calc_frustum(glm::mat4 mat, glm::mat4 lookmtx_inv, glm::vec3* frustumverts_out, plane_t* frustumplanes_out)
{
	const float* data = glm::value_ptr(mat);
	float a = data[0], b = data[5], c = data[10], d = data[14], e = data[11];
	glm::mat4 inv(0.0f);
	float* id = glm::value_ptr(inv);
	id[0] = 1.0f / a;
	id[5] = 1.0f / b;
	id[11] = 1.0f / d;
	id[14] = 1.0f / e;
	id[15] = -c / (d * e);

	for (int i = 0; i < 8; i++) {
		glm::vec4 corner((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f, 1.0f);
		glm::vec4 v = inv * corner;
		v /= v.w;
		v = lookmtx_inv * v;
		frustumverts_out[i] = glm::vec3(v);
	}

	const int triples[4][3] = {{1, 0, 4}, {2, 3, 6}, {0, 2, 4}, {3, 1, 5}};
	for (int k = 0; k < 4; k++) {
		frustumplanes_out[k] = tritoplane(frustumverts_out[triples[k][0]],
			frustumverts_out[triples[k][1]], frustumverts_out[triples[k][2]]);
	}
}

// False when the box lies wholly outside one of the planes.
bool testBb(const plane_t* planes, glm::vec3 bbmin, glm::vec3 bbmax)
{
	for (int k = 0; k < 4; k++) {
		const glm::vec3& n = planes[k].n;
		glm::vec3 nearest(n.x < 0.0f ? bbmax.x : bbmin.x, n.y < 0.0f ? bbmax.y : bbmin.y, n.z < 0.0f ? bbmax.z : bbmin.z);
		if (glm::dot(nearest, n) - planes[k].d > 0.0f)
			return false;
	}
	return true;
}

// Bit (cx + 4 cz) is set for each block of the tile at `offset` to draw.
int constructCitymask(glm::vec3 campos, const plane_t* planes, glm::vec3 offset, float maxdist)
{
	int mask = 0;
	for (int cx = 0; cx < 4; cx++) {
		for (int cz = 0; cz < 4; cz++) {
			glm::vec3 q = offset + glm::vec3(cx * block_size - 300.0f, 0.0f, cz * block_size - 300.0f);
			if (glm::distance(campos, q) > maxdist)
				continue;
			glm::vec3 bbmin = q + glm::vec3(-100.0f, 0.0f, -100.0f);
			glm::vec3 bbmax = q + glm::vec3(100.0f, block_height, 100.0f);
			if (testBb(planes, bbmin, bbmax))
				mask |= 1 << (cx + 4 * cz);
		}
	}
	return mask;
}

// Index lists per block; a face touching several blocks is in each.
void split()
{
	int faces = city->fcnt;
	fprintf(stderr, "city faces: %i\n", faces);

	bool* facemask = new bool[(size_t)block_count * faces]();
	for (int i = 0; i < faces; i++) {
		for (int k = 0; k < 3; k++)
			facemask[block_of(city->data[3 * i + k].pos) * faces + i] = true;
	}

	int badcase = 0;
	for (int j = 0; j < block_count; j++) {
		int count = 0;
		for (int i = 0; i < faces; i++)
			count += facemask[j * faces + i] ? 1 : 0;
		fprintf(stderr, "split %i: %i\n", j, count);
		badcase += count;
	}
	fprintf(stderr, "worst case: %i\n", badcase);

	elements = new GLushort[3 * (size_t)badcase];
	int curElem = 0;
	for (int j = 0; j < block_count; j++) {
		blockElements[j] = elements + curElem;
		blockElementsCount[j] = 0;
		for (int i = 0; i < faces; i++) {
			if (!facemask[j * faces + i])
				continue;
			elements[curElem++] = (GLushort)(3 * i);
			elements[curElem++] = (GLushort)(3 * i + 1);
			elements[curElem++] = (GLushort)(3 * i + 2);
			blockElementsCount[j] += 3;
		}
	}
	fprintf(stderr, "poop: %i\n", curElem);
	delete[] facemask;
}

void drawInstance(glm::mat4 mv, glm::vec3 offset, int citymask)
{
	if (citymask == 0)
		return;
	glm::mat4 omv = glm::translate(mv, offset);
	glm::mat4 mvp = phone_projection * omv;
	glUniformMatrix4fv(shader.uniform("mvp"), 1, GL_FALSE, glm::value_ptr(mvp));
	for (int b = 0; b < block_count; b++) {
		if (citymask & (1 << b))
			glDrawElements(GL_TRIANGLES, blockElementsCount[b], GL_UNSIGNED_SHORT, blockElements[b]);
	}
}

void set_uniforms(const glm::mat4& mv)
{
	glm::mat3 mv3(mv);
	glUniform1f(shader.uniform("bomb"), citybomb);
	glUniform1f(shader.uniform("bomb2"), glm::max(citybomb - 1.4f, 0.0f) * 900.0f);
	glUniform1f(shader.uniform("u_dist"), glm::clamp(CityMaxDistance - 200.0f, 0.0f, 1000.0f));
	glUniformMatrix3fv(shader.uniform("mv"), 1, GL_FALSE, glm::value_ptr(mv3));
	glUniform3fv(shader.uniform("lightdir"), 1, glm::value_ptr(glm::normalize(glm::vec3(1.0f, 1.0f, 0.5f))));
	shader.texture("tex", 0, tex);
}

class effect_c : public demoeffect_c {
public:
	void init() {}
	void initgl()
	{
		shader.init(city_vs, city_fs);
		city = new model_c("city08.obj");
		tex.load("gfx/city08_diffuse.png", TEX_REPEAT);
		split();
	}
	void draw();
	void quit() {}
};

void effect_c::draw()
{
	glm::mat4 mv = phone_rotation_mv;

	static spring_c<float> camang(0.0f, 0.0f, 0.002f, 0.4f);
	static spring_c<float> camang2(0.0f, 0.0f, 0.002f, 0.4f);

	if (sync_c("tunnel_camdown1", 137, 0).once()) {
		camang.targetpos = -20.0f;
		camang2.targetpos = 30.0f;
	}
	if (sync_c("tunnel_camdown2", 150, 0).once()) {
		camang.targetpos = -40.0f;
		camang2.targetpos = 90.0f;
	}
	if (sync_c("tunnel_camup1", 176, 0).once())
		camang.targetpos = 20.0f;
	if (sync_c("tunnel_camup2", 192, 0).once())
		camang.targetpos = -10.0f;

	camang.iterate(frameskip);
	camang2.iterate(frameskip);
	camPitch = camang.pos;
	camYaw = camang2.pos;

	mv = rotate_deg(mv, camPitch, glm::vec3(0, 1, 0));
	mv = rotate_deg(mv, camYaw, glm::vec3(1, 0, 0));
	mv = rotate_deg(mv, -90.0f, glm::vec3(0, 0, 1));
	mv = glm::translate(mv, tunnelflyer.pos - glm::vec3(0.0f, 50.0f, 0.0f));
	mv = glm::translate(mv, glm::vec3(0.0f, -170.0f, 0.0f));

	glm::mat4 mv_inv = glm::inverse(mv);
	glm::vec3 possi(mv_inv[3]);

	glm::vec3 frustumverts[8];
	plane_t frustumplanes[4];
	calc_frustum(phone_projection, mv_inv, frustumverts, frustumplanes);

	shader.use();
	set_uniforms(mv);
	shader.array("pos", 3, GL_FLOAT, 32, &city->data[0].pos);
	shader.array("uv", 2, GL_FLOAT, 32, &city->data[0].tc);
	shader.array("nor", 3, GL_FLOAT, 32, &city->data[0].nor);

	glm::vec3 possi2 = tile_size * glm::floor((possi + glm::vec3(400.0f, 0.0f, 400.0f)) / tile_size);
	for (int tx = -1; tx <= 1; tx++) {
		for (int tz = -1; tz <= 1; tz++) {
			glm::vec3 offs = possi2 + glm::vec3(tx * tile_size, 0.0f, tz * tile_size);
			int mask = constructCitymask(possi, frustumplanes, offs, CityMaxDistance);
			drawInstance(mv, offs, mask);
		}
	}

	shader.array("pos", 0, 0, 0, 0);
	shader.array("uv", 0, 0, 0, 0);
	shader.array("nor", 0, 0, 0, 0);
}

effect_c effect;

}  // namespace

demoeffect_c* tunnel = &effect;

// A jelly polyhedron: every vertex is a point mass, every pair of vertices
// a spring at its loaded length. Beats and two events kick it; the springs
// pull it back into shape.
#include <stdio.h>
#include <stdlib.h>
#include <math.h>

#include "effects.h"
#include "../src/clock.h"
#include "../src/glm_deg.h"
#include "../src/model.h"
#include "../src/shader.h"
#include "../src/sync.h"
#include "../src/util.h"

namespace {

const int max_vertexes = 256;
const int max_pairs = 4096;
const int max_corners = 1024;

struct vertexpair_s {
	int v1;
	int v2;
};

shader_c shader;
model_c* dodeobu;

int vertex_count;
glm::vec3 vertexes[max_vertexes];
glm::vec3 vertexes_vel[max_vertexes];

int vertexpair_count;
vertexpair_s vertexpairs[max_pairs];
float vertexpair_dist[max_pairs];

int polyidx_count;
// 16-bit: OpenGL ES 2 draws 32-bit indices only with an extension, and
// the corners never number more than 65535.
GLushort polyidx[max_corners];
static_assert(max_corners <= 65536, "corner indices are 16-bit");
int polyvert_count;
int vertex_double[max_corners];
bool normal_set[max_corners];  // scratch of calculate_polynormals
glm::vec3 polyverts[max_corners];    // this frame's corners and their normals,
glm::vec3 polynormals[max_corners];  // filled in place of allocating per frame

int lb = -1;  // the last whole beat seen
int app[3];   // countdowns in drawn frames: beat jitter, never raised, swirl

const char* vertex_src =
	"attribute vec3 pos;\n"
	"attribute vec3 nor;\n"
	"uniform mat4 mvp;\n"
	"uniform mat3 mv;\n"
	"uniform vec3 lightdir;\n"
	"varying vec4 v_col;\n"
	"void main() {\n"
	"	gl_Position = mvp * vec4(pos, 1.0);\n"
	"	vec3 normal = mv * nor;\n"
	"	float zz = 1.0 - pow(clamp(dot(lightdir, normal), 0.0, 1.0), 1.0);\n"
	"	v_col = mix(vec4(0.257, 0.596, 0.31, 1.0), vec4(0.03, 0.36, 0.529, 1.0), zz);\n"
	"}\n";

const char* fragment_src =
	FRAG_HEAD
	"varying vec4 v_col;\n"
	"void main() {\n"
	"	gl_FragColor = v_col;\n"
	"}\n";

void add_vertexpair(int a, int b, float d)
{
	if (vertexpair_count >= max_pairs) {
		fprintf(stderr, "%i-%i = %.2f\n", a, b, d);
		fprintf(stderr, "full.\n");
		exit(1);
	}
	vertexpairs[vertexpair_count].v1 = a;
	vertexpairs[vertexpair_count].v2 = b;
	vertexpair_dist[vertexpair_count] = d;
	vertexpair_count++;
}

void add_vertexpair_auto(int a, int b)
{
	add_vertexpair(a, b, glm::distance(vertexes[a], vertexes[b]));
}

// The fixed arrays bound the model; say which limit it breaks instead of
// writing past them. The loader has already checked the face indices.
// Every pair of vertices gets a spring, so the springs bound the vertices
// more tightly than the vertex array does.
bool check_model(const model_c* m, const char* fn)
{
	int most = 1;
	while ((most + 1) * most / 2 <= max_pairs && most < max_vertexes)
		most++;
	if (m->vcnt > most) {
		fprintf(stderr, "%s: %i vertices, at most %i fit (one spring per pair, %i springs)\n", fn,
			m->vcnt, most, max_pairs);
		return false;
	}
	if (m->fcnt * 3 > max_corners) {
		fprintf(stderr, "%s: %i triangles, at most %i fit\n", fn, m->fcnt, max_corners / 3);
		return false;
	}
	return true;
}

void makeobu()
{
	if (!check_model(dodeobu, "dode.obj"))
		exit(1);
	vertex_count = dodeobu->vcnt;
	fprintf(stderr, "vertex count: %i, f %i\n", vertex_count, dodeobu->fcnt * 3);
	for (int i = 0; i < vertex_count; i++)
		vertexes[i] = dodeobu->verts[i];

	// every triangle owns three private corners, so each gets a flat normal
	polyvert_count = polyidx_count = dodeobu->fcnt * 3;
	for (int i = 0; i < dodeobu->fcnt; i++) {
		const facei_s& f = dodeobu->faces[i];
		vertex_double[3 * i] = f.v1;
		vertex_double[3 * i + 1] = f.v2;
		vertex_double[3 * i + 2] = f.v3;
		for (int k = 0; k < 3; k++)
			polyidx[3 * i + k] = (GLushort)(3 * i + k);
	}

	for (int a = 0; a < vertex_count; a++)
		for (int b = a + 1; b < vertex_count; b++)
			add_vertexpair_auto(a, b);
}

glm::vec3 rnd_vec()
{
	float x = util::rnd_n();
	float y = util::rnd_n();
	float z = util::rnd_n();
	return glm::vec3(x, y, z);
}

void count_beats()
{
	int cb = (int)floorf(beatgrid);
	if (cb != lb) {
		lb = cb;
		app[0] += 2;
	}
	sync_c bum("dodebum", 224, 0);
	if (bum.once())
		app[2] += 10;
	sync_c bum2("dodebum2", 232.5f, 0);
	if (bum2.once())
		app[2] += 2;
}

// Random nudges, the beat jitter and the swirl: once per drawn frame.
void kick_vertexes()
{
	for (int i = 0; i < vertex_count; i++) {
		if (util::rnd() > 0.995f)
			vertexes_vel[i] += 0.001f * rnd_vec();
		if (app[0])
			vertexes_vel[i] += 0.02f * rnd_vec();
		if (app[2]) {
			float mudi = 0.05f * sinf(9.0f * vertexes[i].y + 10.0f * timeval);
			vertexes_vel[i].x += vertexes[i].x * mudi;
			vertexes_vel[i].z += vertexes[i].z * mudi;
		}
	}
	for (int k = 0; k < 3; k++)
		if (app[k] > 0)
			app[k]--;
}

// One logic step: springs change velocities in place, then everything moves.
void step_springs()
{
	for (int p = 0; p < vertexpair_count; p++) {
		int a = vertexpairs[p].v1;
		int b = vertexpairs[p].v2;
		glm::vec3 direction = vertexes[b] - vertexes[a];
		float curlen = glm::length(direction);
		if (!(curlen > 0.0f))
			continue;  // coincident ends have no direction to pull along
		direction /= curlen;
		float acc = (vertexpair_dist[p] - curlen) * 0.003f;
		vertexes_vel[a] -= direction * acc;
		vertexes_vel[b] += direction * acc;
	}
	for (int i = 0; i < vertex_count; i++) {
		vertexes[i] += vertexes_vel[i];
		vertexes_vel[i] *= 0.96f;
	}
}

// Keeps the centre of mass at the origin, so the body turns about it.
void recentre()
{
	if (vertex_count == 0)
		return;
	glm::vec3 mid(0.0f);
	for (int i = 0; i < vertex_count; i++)
		mid += vertexes[i];
	mid /= (float)vertex_count;
	for (int i = 0; i < vertex_count; i++)
		vertexes[i] -= mid;
}

void solve_vertexpairs()
{
	count_beats();
	kick_vertexes();
	for (int s = 0; s < frameskip; s++)
		step_springs();
	recentre();
}

glm::vec3* calculate_polyverts()
{
	glm::vec3* c = polyverts;
	for (int k = 0; k < polyvert_count; k++)
		c[k] = vertexes[vertex_double[k]];
	return c;
}

glm::vec3* calculate_polynormals(const glm::vec3* c)
{
	glm::vec3* n = polynormals;
	for (int k = 0; k < polyvert_count; k++) {
		n[k] = glm::vec3(0.0f);
		normal_set[k] = false;
	}
	for (int t = 0; t < polyidx_count / 3; t++) {
		GLuint a = polyidx[3 * t];
		GLuint b = polyidx[3 * t + 1];
		GLuint e = polyidx[3 * t + 2];
		glm::vec3 cr = glm::cross(c[b] - c[a], c[e] - c[a]);
		float len = glm::length(cr);
		// a collapsed triangle has no normal; leave it zero rather than NaN
		glm::vec3 nor = len > 0.0f ? cr / len : glm::vec3(0.0f);
		n[a] = n[b] = n[e] = nor;
		normal_set[a] = normal_set[b] = normal_set[e] = true;
	}
	for (int k = 0; k < polyvert_count; k++)
		if (!normal_set[k])
			fprintf(stderr, "%i not set\n", k);
	return n;
}

class effect_c : public demoeffect_c {
public:
	void initgl()
	{
		shader.init(vertex_src, fragment_src);
		dodeobu = new model_c("dode.obj");
		makeobu();
	}

	void step() { solve_vertexpairs(); }

	void draw()
	{
		glm::mat4 proj = perspective_deg(55.0f, demo_aspect, 1.0f, 30000.0f);
		glm::mat4 mv(1.0f);
		mv = glm::translate(mv, glm::vec3(-0.75f, 0.0f, 0.0f));
		mv = glm::translate(mv, glm::vec3(0.0f, 0.0f, -3.0f));
		mv = rotate_deg(mv, 40.0f * timeval, glm::vec3(0.0f, 1.0f, 0.0f));
		mv = rotate_deg(mv, 50.0f * timeval, glm::vec3(0.0f, 0.0f, 1.0f));
		glm::mat4 mvp = proj * mv;
		glm::mat3 mv3(mv);
		glm::vec3 light = glm::normalize(glm::vec3(1.0f));

		shader.use();
		glUniformMatrix4fv(shader.uniform("mvp"), 1, GL_FALSE, glm::value_ptr(mvp));
		glUniformMatrix3fv(shader.uniform("mv"), 1, GL_FALSE, glm::value_ptr(mv3));
		glUniform3fv(shader.uniform("lightdir"), 1, glm::value_ptr(light));

		glm::vec3* c = calculate_polyverts();
		glm::vec3* n = calculate_polynormals(c);

		shader.array("pos", 3, GL_FLOAT, 12, c);
		shader.array("nor", 3, GL_FLOAT, 12, n);
		glDrawElements(GL_TRIANGLES, polyidx_count, GL_UNSIGNED_SHORT, polyidx);
		shader.array("pos", 0, 0, 0, NULL);
		shader.array("nor", 0, 0, 0, NULL);
	}
};

effect_c effect;

}  // namespace

demoeffect_c* dode = &effect;

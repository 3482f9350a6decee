#include "model.h"

#include <errno.h>
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "files.h"

// Coordinates beyond this are garbage in any of the demo's scenes, and
// their sums and squares would overflow a float.
static const float max_coordinate = 1000000.0f;

model_c::model_c()
	: verts(NULL), texcoords(NULL), normals(NULL), faces(NULL), vcnt(0), fcnt(0), tcnt(0), ncnt(0),
	  center(0.0f), data(NULL), filename(""), lineno(0)
{
}

model_c::model_c(const char* fn) : model_c()
{
	if (!load(fn))
		exit(1);
}

model_c::~model_c()
{
	delete[] verts;
	delete[] texcoords;
	delete[] normals;
	delete[] faces;
	delete[] data;
}

bool model_c::fail(const char* format, ...)
{
	if (lineno > 0)
		fprintf(stderr, "%s:%i: ", filename, lineno);
	else
		fprintf(stderr, "%s: ", filename);
	va_list args;
	va_start(args, format);
	vfprintf(stderr, format, args);
	va_end(args);
	fputc('\n', stderr);
	return false;
}

// Exactly `count` numbers, each finite and within the coordinate bound.
static const char* read_floats(const char* text, float* out, int count)
{
	char* end;
	for (int i = 0; i < count; i++) {
		errno = 0;
		double v = strtod(text, &end);
		if (end == text)
			return "expected a number";
		if (!isfinite(v) || fabs(v) > max_coordinate)
			return "number not finite or beyond 1000000";
		out[i] = (float)v;
		text = end;
	}
	text += strspn(text, " \t\r\n");
	return *text ? "more than the expected numbers" : NULL;
}

bool model_c::store_floats(const char* text, float* out, int count, int* cnt, const char* what)
{
	if (*cnt >= maxverts)
		return fail("more than %i %s, the loader's limit", maxverts, what);
	const char* err = read_floats(text, out, count);
	if (err)
		return fail("%s: %s", what, err);
	(*cnt)++;
	return true;
}

bool model_c::read_line(char* line)
{
	if (!strncmp(line, "v ", 2)) {
		glm::vec3 v;
		if (!store_floats(line + 2, &v.x, 3, &vcnt, "positions"))
			return false;
		verts[vcnt - 1] = v;
	} else if (!strncmp(line, "vt ", 3)) {
		glm::vec2 t;
		if (!store_floats(line + 3, &t.x, 2, &tcnt, "texture coordinates"))
			return false;
		texcoords[tcnt - 1] = t;
	} else if (!strncmp(line, "vn ", 3)) {
		glm::vec3 n;
		if (!store_floats(line + 3, &n.x, 3, &ncnt, "normals"))
			return false;
		normals[ncnt - 1] = n;
	} else if (!strncmp(line, "f ", 2)) {
		if (fcnt >= maxfaces)
			return fail("more than %i faces, the loader's limit", maxfaces);
		facei_s face;
		if (!parseface(line + 2, &face))
			return false;
		if (!check_face(face))
			return fail("face index past the entries read");
		faces[fcnt++] = face;
	}
	return true;
}

enum { line_end_of_file, line_read, line_too_long, line_binary };

// One line with its line end into buf (max_line + 1 bytes).
static int read_text_line(FILE* f, char* buf)
{
	int len = 0, c = 0;
	while (len < model_c::max_line && (c = getc(f)) != EOF) {
		if (c == 0)
			return line_binary;
		buf[len++] = (char)c;
		if (c == '\n')
			break;
	}
	buf[len] = 0;
	if (len == 0)
		return line_end_of_file;
	return len == model_c::max_line && c != '\n' ? line_too_long : line_read;
}

bool model_c::load(const char* fn)
{
	filename = fn;
	lineno = 0;
	center = glm::vec3(0.0f);
	fprintf(stderr, "loading %s\n", fn);
	FILE* f = open_regular(fn, "rb");
	if (!f)
		return fail("can't open model file: %s", open_failure());
	verts = new glm::vec3[maxverts];
	texcoords = new glm::vec2[maxverts];
	normals = new glm::vec3[maxverts];
	faces = new facei_s[maxfaces];
	vcnt = fcnt = tcnt = ncnt = 0;

	char line[max_line + 1];
	bool ok = true;
	int got;
	while (ok && (got = read_text_line(f, line)) != line_end_of_file) {
		lineno++;
		if (got == line_too_long)
			ok = fail("line longer than %i characters", max_line - 1);
		else if (got == line_binary)
			ok = fail("a zero byte: not a text file");
		else
			ok = read_line(line);
	}
	if (ok && ferror(f))
		ok = fail("read error: %s", strerror(errno));
	fclose(f);
	if (!ok)
		return false;
	if (fcnt == 0) {
		lineno = 0;
		return fail("no faces in the model");
	}
	fprintf(stderr, "tc size: %li, vertex size: %li face size: %li. counts: %i %i\n",
		(long)sizeof(glm::vec2), (long)sizeof(glm::vec3), (long)sizeof(facei_s), vcnt, fcnt);
	finalize_data();
	return true;
}

// One 1-based index of digits only, as the 0-based index; false for an
// empty field, a sign, a fraction or trailing letters.
static bool read_index(const char* text, const char* end, GLuint* out)
{
	if (end == text || end - text > 9)
		return false;
	long v = 0;
	for (; text < end; text++) {
		if (*text < '0' || *text > '9')
			return false;
		v = v * 10 + (*text - '0');
	}
	if (v == 0)
		return false;
	*out = (GLuint)(v - 1);
	return true;
}

// One corner "v/t/n" in [p, end).
static bool read_corner(const char* p, const char* end, GLuint* out[3])
{
	for (int k = 0; k < 3; k++) {
		const char* stop = k < 2 ? (const char*)memchr(p, '/', (size_t)(end - p)) : end;
		if (!stop || !read_index(p, stop, out[k]))
			return false;
		p = stop + 1;
	}
	return true;
}

// Corners are v/t/n; a quad keeps its first triangle, as it always did.
bool model_c::parseface(char* txt, facei_s* fec)
{
	GLuint* slots[3][3] = { { &fec->v1, &fec->t1, &fec->n1 }, { &fec->v2, &fec->t2, &fec->n2 },
		{ &fec->v3, &fec->t3, &fec->n3 } };
	const char* blanks = " \t\r\n";
	int corners = 0;
	for (char* p = txt + strspn(txt, blanks); *p; p += strspn(p, blanks)) {
		size_t len = strcspn(p, blanks);
		if (corners < 3 && !read_corner(p, p + len, slots[corners]))
			return fail("face corner '%.*s' is not v/t/n with whole indices from 1", (int)glm::min(len, (size_t)40), p);
		corners++;
		p += len;
	}
	if (corners < 3)
		return fail("face with %i corners, a triangle needs 3", corners);
	if (corners > 4)
		return fail("face with %i corners, at most 4 are read", corners);
	return true;
}

bool model_c::check_face(const facei_s& f)
{
	// Indices count only what is stored so far; anything else would read
	// outside the arrays.
	GLuint nv = vcnt, nt = tcnt, nn = ncnt;
	return f.v1 < nv && f.v2 < nv && f.v3 < nv && f.t1 < nt && f.t2 < nt && f.t3 < nt &&
		f.n1 < nn && f.n2 < nn && f.n3 < nn;
}

void model_c::finalize_data()
{
	data = new realvert_s[fcnt * 3];
	fprintf(stderr, "data at %p\n", (void*)data);
	center = glm::vec3(0.0f);
	glm::vec3 mini(1000000.0f);
	glm::vec3 maxi(-1000000.0f);
	for (int i = 0; i < fcnt; i++) {
		const facei_s& f = faces[i];
		const GLuint v[3] = { f.v1, f.v2, f.v3 };
		const GLuint t[3] = { f.t1, f.t2, f.t3 };
		const GLuint n[3] = { f.n1, f.n2, f.n3 };
		for (int c = 0; c < 3; c++) {
			realvert_s& r = data[i * 3 + c];
			r.pos = verts[v[c]];
			r.tc = texcoords[t[c]];
			r.nor = normals[n[c]];
			center += r.pos;
			mini = glm::min(mini, r.pos);
			maxi = glm::max(maxi, r.pos);
		}
	}
	if (fcnt > 0)
		center /= (float)(fcnt * 3);
	glm::vec3 realcenter = (mini + maxi) * 0.5f;
	fprintf(stderr, "center of model is at %.2f, %.2f, %.2f\n", center.x, center.y, center.z);
	fprintf(stderr, "min of model is at %.2f, %.2f, %.2f\n", mini.x, mini.y, mini.z);
	fprintf(stderr, "max of model is at %.2f, %.2f, %.2f\n", maxi.x, maxi.y, maxi.z);
	fprintf(stderr, "realcenter of model is at %.2f, %.2f, %.2f\n", realcenter.x, realcenter.y, realcenter.z);
}

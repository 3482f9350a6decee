#include "model.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const GLuint missing = (GLuint)-1;

model_c::model_c(const char* fn) : filename(fn), lineno(0)
{
	center = glm::vec3(0.0f);
	fprintf(stderr, "loading %s\n", fn);
	FILE* f = fopen(fn, "rb");
	if (!f) {
		fprintf(stderr, "%s: can't open model file\n", fn);
		exit(1);
	}
	verts = new glm::vec3[maxverts];
	texcoords = new glm::vec2[maxverts];
	normals = new glm::vec3[maxverts];
	faces = new facei_s[maxfaces];
	vcnt = fcnt = tcnt = ncnt = 0;

	char* line = NULL;
	size_t cap = 0;
	while (getline(&line, &cap, f) != -1) {
		lineno++;
		if (!strncmp(line, "v ", 2)) {
			glm::vec3 v(0.0f);
			sscanf(line + 2, "%f %f %f", &v.x, &v.y, &v.z);
			if (vcnt < maxverts)
				verts[vcnt] = v;
			vcnt++;
		} else if (!strncmp(line, "vt ", 3)) {
			glm::vec2 t(0.0f);
			sscanf(line + 3, "%f %f", &t.x, &t.y);
			if (tcnt < maxverts)
				texcoords[tcnt] = t;
			else
				fprintf(stderr, "too many tc (%i)\n", tcnt);
			tcnt++;
		} else if (!strncmp(line, "vn ", 3)) {
			glm::vec3 n(0.0f);
			sscanf(line + 3, "%f %f %f", &n.x, &n.y, &n.z);
			if (ncnt < maxverts)
				normals[ncnt] = n;
			ncnt++;
		} else if (!strncmp(line, "f ", 2)) {
			facei_s face;
			parseface(line + 2, &face);
			if (fcnt > maxfaces - 1) {
				fprintf(stderr, "too many faces (%i)\n", fcnt);
			} else {
				check_face(face);
				faces[fcnt++] = face;
			}
		}
	}
	free(line);
	fclose(f);
	fprintf(stderr, "tc size: %li, vertex size: %li face size: %li. counts: %i %i\n",
		(long)sizeof(glm::vec2), (long)sizeof(glm::vec3), (long)sizeof(facei_s), vcnt, fcnt);
	finalize_data();
}

static GLuint field_index(const char* text)
{
	// An empty field reads as 0, which becomes the invalid index -1.
	long v = strtol(text, NULL, 10);
	if (v < -1000000 || v > 1000000)
		return missing;
	return (GLuint)(v - 1);
}

void model_c::parseface(char* txt, facei_s* fec)
{
	GLuint* slots[9] = { &fec->v1, &fec->t1, &fec->n1, &fec->v2, &fec->t2, &fec->n2,
		&fec->v3, &fec->t3, &fec->n3 };
	for (int i = 0; i < 9; i++)
		*slots[i] = missing;

	int field = 0;
	char* start = txt;
	for (char* p = txt;; p++) {
		char c = *p;
		if (c != '/' && c != ' ' && c != '\n' && c != '\0')
			continue;
		*p = '\0';
		if (field < 9)
			*slots[field] = field_index(start);
		field++;
		start = p + 1;
		if (c == '\n' || c == '\0')
			break;
	}
}

void model_c::check_face(const facei_s& f)
{
	// Indices count only what is stored so far; anything else would read
	// outside the arrays.
	GLuint nv = vcnt < maxverts ? vcnt : maxverts;
	GLuint nt = tcnt < maxverts ? tcnt : maxverts;
	GLuint nn = ncnt < maxverts ? ncnt : maxverts;
	bool ok = f.v1 < nv && f.v2 < nv && f.v3 < nv &&
		f.t1 < nt && f.t2 < nt && f.t3 < nt &&
		f.n1 < nn && f.n2 < nn && f.n3 < nn;
	if (!ok) {
		fprintf(stderr, "%s:%i: face index missing, zero, negative or past the entries read\n",
			filename, lineno);
		exit(1);
	}
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

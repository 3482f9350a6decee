#include "sync.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "files.h"

event_map events;

// An events file's position holds for every handle; the first one that asks
// tells what it overrides.
static void claim(event* e, float default_val)
{
	e->used = true;
	fprintf(stderr, "event '%s' at time %.2f from the events file (the demo says %.2f)\n",
		e->name, e->beatnum, default_val);
}

sync_c::sync_c(const char* name, float default_val, int spawnmode)
{
	event_map::iterator it = events.find(name);
	if (it != events.end()) {
		myevent = &it->second;
		if (!myevent->used)
			claim(myevent, default_val);
		return;
	}
	fprintf(stderr, "adding event '%s' at time %.2f, spawn %i\n", name, default_val, spawnmode);
	it = events.emplace(name, event()).first;
	event* e = &it->second;
	e->beatnum = spawnmode == 0 ? default_val : beatgrid + default_val;
	e->happened = false;
	e->happened_queue = false;
	e->name = it->first.c_str();
	e->preset = false;
	e->used = true;
	myevent = e;
}

bool sync_c::once()
{
	if (!myevent->happened && past()) {
		myevent->happened_queue = true;
		fprintf(stderr, "event '%s' happened! %.2f\n", myevent->name, beatgrid);
		return true;
	}
	return false;
}

void sync_ack()
{
	for (event_map::iterator it = events.begin(); it != events.end(); ++it)
		it->second.happened = it->second.happened_queue;
}

void sync_save()
{
	FILE* f = open_regular("eventsdump.txt", "w");
	if (!f) {
		fprintf(stderr, "can't write eventsdump.txt: %s\n", open_failure());
		return;
	}
	for (event_map::iterator it = events.begin(); it != events.end(); ++it) {
		it->second.happened = it->second.happened_queue;
		// A file's name that the demo never asked for is not one of its events.
		if (it->second.used)
			fprintf(f, "'%s' %.5f\n", it->first.c_str(), it->second.beatnum);
	}
	fclose(f);
}

static const size_t max_name = 200;
static const double max_position = 100000.0;

static bool blank(char c)
{
	return c == ' ' || c == '\t';
}

// One line without its end; "" when good, else what is wrong.
static std::string read_line(const char* p, const char* end, event_position* out)
{
	for (const char* c = p; c < end; c++)
		if ((unsigned char)*c < 0x20 && *c != '\t')
			return "control character in the line";
	if (*p != '\'')
		return "expected 'name' position";
	const char* name = ++p;
	while (p < end && *p != '\'')
		p++;
	if (p == end)
		return "the name has no closing quote";
	size_t len = (size_t)(p - name);
	if (len == 0)
		return "empty name";
	if (len > max_name)
		return "name longer than 200 bytes";
	p++;
	if (p == end || !blank(*p))
		return "a blank must follow the name";
	while (p < end && blank(*p))
		p++;
	const char* num = p;
	while (p < end && !blank(*p))
		p++;
	std::string token(num, p);
	while (p < end && blank(*p))
		p++;
	if (token.empty())
		return "no position after the name";
	if (p != end)
		return "text after the position";
	char* stop;
	double v = strtod(token.c_str(), &stop);
	if (*stop || stop == token.c_str())
		return "position '" + token + "' is not a number";
	if (!isfinite(v))
		return "position '" + token + "' is not a finite number";
	if (fabs(v) > max_position)
		return "position '" + token + "' lies beyond 100000";
	out->name.assign(name, len);
	out->beatnum = (float)v;
	return "";
}

int sync_load(const char* text, size_t size, std::vector<event_position>* out, std::string* what)
{
	std::map<std::string, int> first_line;
	const char* end = text + size;
	const char* p = text;
	if (size >= 3 && !memcmp(p, "\xef\xbb\xbf", 3))
		p += 3;  // an editor's byte-order mark
	out->clear();
	for (int line = 1; p < end; line++) {
		const char* eol = (const char*)memchr(p, '\n', (size_t)(end - p));
		const char* next = eol ? eol + 1 : end;
		if (!eol)
			eol = end;
		if (eol > p && eol[-1] == '\r')
			eol--;
		while (p < eol && blank(*p))
			p++;
		if (p < eol && *p != '#') {
			event_position e;
			std::string wrong = read_line(p, eol, &e);
			if (wrong.empty() && first_line.count(e.name))
				wrong = "'" + e.name + "' given twice (first on line " + std::to_string(first_line[e.name]) + ")";
			if (!wrong.empty()) {
				*what = wrong;
				out->clear();
				return line;
			}
			first_line[e.name] = line;
			out->push_back(e);
		}
		p = next;
	}
	return 0;
}

void sync_preset(const std::vector<event_position>& list)
{
	for (const event_position& p : list) {
		event_map::iterator it = events.find(p.name);
		if (it == events.end()) {
			it = events.emplace(p.name, event()).first;
			event* e = &it->second;
			e->happened = false;
			e->happened_queue = false;
			e->name = it->first.c_str();
			e->used = false;
		}
		it->second.beatnum = p.beatnum;
		it->second.preset = true;
	}
}

static const char* const* catalogue = NULL;
static int catalogue_size = 0;

void sync_catalogue(const char* const* names, int count)
{
	catalogue = names;
	catalogue_size = count;
}

static bool in_catalogue(const std::string& name)
{
	for (int i = 0; i < catalogue_size; i++)
		if (name == catalogue[i])
			return true;
	return false;
}

std::vector<std::string> sync_unused()
{
	std::vector<std::string> names;
	for (const event_map::value_type& e : events)
		if (e.second.preset && !e.second.used && !in_catalogue(e.first))
			names.push_back(e.first);
	return names;
}

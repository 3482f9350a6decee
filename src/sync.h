// Named one-shot timeline events on the beat grid.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "clock.h"

struct event {
	float beatnum;
	bool happened;        // fired in an earlier, acknowledged frame
	bool happened_queue;  // fired in this frame
	const char* name;
	bool preset;          // its position came from an events file
	bool used;            // the demo's code has asked for it
};

// Keyed by name; the records live in the map's nodes, whose addresses never
// change. The transparent comparator finds a const char* without building a
// string, so per-frame handle construction allocates nothing.
typedef std::map<std::string, event, std::less<>> event_map;
extern event_map events;

class sync_c {
public:
	sync_c(const char* name, float default_val, int spawnmode);

	bool once();
	bool past() const { return beatgrid >= myevent->beatnum; }
	float beatnum() const { return myevent->beatnum; }

	event* myevent;
};

void sync_ack();
void sync_save();

// One line of an events file: 'name' position.
struct event_position {
	std::string name;
	float beatnum;
};

// Reads the text of an events file, in the format sync_save writes; blank
// lines and lines starting with # are skipped. Returns 0, or the number of
// the first bad line with what is wrong in *what; never exits.
int sync_load(const char* text, size_t size, std::vector<event_position>* out, std::string* what);

// Creates the events ahead of the demo's code, so that their positions win.
void sync_preset(const std::vector<event_position>& list);

// Every name the demo asks for somewhere in its run, whether or not a run
// gets there: the names of an events file that are none of them are typos.
void sync_catalogue(const char* const* names, int count);

// Names of preset events that the demo never asks for: neither in the
// catalogue nor asked for in this run.
std::vector<std::string> sync_unused();

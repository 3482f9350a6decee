// Named one-shot timeline events on the beat grid.
#pragma once

#include <map>
#include <string>

#include "clock.h"

struct event {
	float beatnum;
	bool happened;        // fired in an earlier, acknowledged frame
	bool happened_queue;  // fired in this frame
	const char* name;
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

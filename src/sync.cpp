#include "sync.h"

#include <stdio.h>

event_map events;

sync_c::sync_c(const char* name, float default_val, int spawnmode)
{
	event_map::iterator it = events.find(name);
	if (it != events.end()) {
		myevent = &it->second;
		return;
	}
	fprintf(stderr, "adding event '%s' at time %.2f, spawn %i\n", name, default_val, spawnmode);
	it = events.emplace(name, event()).first;
	event* e = &it->second;
	e->beatnum = spawnmode == 0 ? default_val : beatgrid + default_val;
	e->happened = false;
	e->happened_queue = false;
	e->name = it->first.c_str();
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
	FILE* f = fopen("eventsdump.txt", "wt");
	if (!f) {
		fprintf(stderr, "can't write eventsdump.txt\n");
		return;
	}
	for (event_map::iterator it = events.begin(); it != events.end(); ++it) {
		it->second.happened = it->second.happened_queue;
		fprintf(f, "'%s' %.5f\n", it->first.c_str(), it->second.beatnum);
	}
	fclose(f);
}

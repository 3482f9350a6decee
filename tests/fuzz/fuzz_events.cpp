// The events file's reader on arbitrary bytes: it either reads every line
// into bounded, distinct entries or names one line and what is wrong.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <set>

#include "sync.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::vector<event_position> list;
	std::string what;
	int line = sync_load((const char*)data, size, &list, &what);
	int lines = 1 + (int)std::count((const char*)data, (const char*)data + size, '\n');
	if (line) {
		if (line < 1 || line > lines || what.empty() || !list.empty())
			abort();
		return 0;
	}
	std::set<std::string> names;
	for (const event_position& e : list) {
		if (e.name.empty() || e.name.size() > 200 || !isfinite(e.beatnum) || fabsf(e.beatnum) > 100000.0f ||
			!names.insert(e.name).second || e.name.find('\'') != std::string::npos)
			abort();
	}
	return 0;
}

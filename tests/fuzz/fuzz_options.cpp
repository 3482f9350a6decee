// The command line on arbitrary arguments: zero bytes split the input into
// arguments. Whatever is accepted must lie within the options' bounds.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "capture.h"
#include "main.h"
#include "options.h"
#include "../reset_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::vector<std::string> args(1, "quintaro");
	std::string cur;
	for (size_t i = 0; i < size; i++) {
		if (data[i] == 0) {
			args.push_back(cur);
			cur.clear();
		} else {
			cur += (char)data[i];
		}
	}
	args.push_back(cur);
	std::vector<char*> argv;
	for (std::string& a : args)
		argv.push_back(&a[0]);
	reset_options();
	if (parse_options((int)argv.size(), argv.data())) {
		const capture_options_s& c = capture_options;
		bool bounded = isfinite(timeval_skip) && timeval_skip >= 0.0f && timeval_skip <= 86400.0f &&
			c.from >= 0.0 && c.to <= 86400.0 && c.from <= c.to && c.fps_num > 0 && c.fps_den > 0 &&
			c.blur >= 1 && c.blur <= 4 && config_width >= 16 && config_height >= 16 &&
			config_width <= 8192 && config_height <= 8192 && (!c.capture || (c.path && *c.path));
		if (!bounded)
			abort();
	}
	capture_options.path = NULL;
	return 0;
}

#include "options.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "capture.h"
#include "datadir.h"
#include "main.h"
#include "retime.h"
#include "seek.h"

bool version_option = false;

// Times on the command line lie within a day: the finale loops for ever,
// but past a day float time is too coarse for the 0.02 s logic step and a
// recording would take weeks.
const double max_seconds = 86400.0;

// Reads a finite number; false for "abc", "nan", "inf" or "".
static bool read_seconds(const char* text, double* out)
{
	char* end;
	double v = strtod(text, &end);
	if (end == text || !isfinite(v))
		return false;
	*out = v;
	return true;
}

static bool read_whole(const char* text, long lo, long hi, long* out)
{
	char* end;
	long v = strtol(text, &end, 10);
	if (end == text || *end || v < lo || v > hi)
		return false;
	*out = v;
	return true;
}

static bool read_size(const char* text, int* w, int* h)
{
	long a, b;
	const char* x = strchr(text, 'x');
	if (!x)
		return false;
	char first[16];
	size_t len = (size_t)(x - text);
	if (len == 0 || len >= sizeof(first))
		return false;
	memcpy(first, text, len);
	first[len] = 0;
	if (!read_whole(first, 16, 8192, &a) || !read_whole(x + 1, 16, 8192, &b))
		return false;
	*w = (int)a;
	*h = (int)b;
	return true;
}

// Text that is no number skips nothing, as it always did; a number out of
// range stops the start.
static bool skip_option(const char* value)
{
	double v;
	if (!read_seconds(value, &v)) {
		fprintf(stderr, "--skip: '%s' is not a number of seconds, not skipping\n", value);
		timeval_skip = 0.0f;
		return true;
	}
	if (v < 0.0 || v > max_seconds) {
		fprintf(stderr, "--skip: '%s' is not a time from 0 to %.0f s (a day)\n", value, max_seconds);
		return false;
	}
	timeval_skip = (float)v;
	fprintf(stderr, "skipping time to %.2f\n", timeval_skip);
	return true;
}

// Options that take a value; "--skip" is handled as the demo always did.
static bool value_option(const char* name, const char* value)
{
	capture_options_s& c = capture_options;
	long whole;
	if (!strncmp(value, "--", 2)) {
		fprintf(stderr, "%s: a value must follow, not the option '%s'\n", name, value);
		return false;
	}
	if (!strcmp(name, "--capture")) {
		if (!*value) {
			fprintf(stderr, "--capture: the path is empty\n");
			return false;
		}
		c.capture = true;
		c.path = value;
	} else if (!strcmp(name, "--fps")) {
		if (!parse_fps(value, &c.fps_num, &c.fps_den)) {
			fprintf(stderr, "--fps: '%s' is not a frame rate from one a day to 1000 a second, such as 50 or 60000/1001\n", value);
			return false;
		}
	} else if (!strcmp(name, "--blur")) {
		if (!read_whole(value, 1, 4, &whole)) {
			fprintf(stderr, "--blur: '%s' is not a whole number from 1 to 4\n", value);
			return false;
		}
		c.blur = (int)whole;
	} else if (!strcmp(name, "--from") || !strcmp(name, "--to")) {
		double v;
		if (!read_seconds(value, &v) || v < 0.0) {
			fprintf(stderr, "%s: '%s' is not a number of seconds\n", name, value);
			return false;
		}
		if (v > max_seconds) {
			fprintf(stderr, "%s: '%s' lies past a day (%.0f s), too long for a recording\n", name,
				value, max_seconds);
			return false;
		}
		(name[2] == 'f' ? c.from : c.to) = v;
	} else if (!strcmp(name, "--seek")) {
		char* end;
		double v = strtod(value, &end);
		if (end == value || *end || !isfinite(v) || v < 0.0 || v > max_seek) {
			fprintf(stderr, "--seek: '%s' is not a time from 0 to %.0f s (an hour)\n", value, max_seek);
			return false;
		}
		seek_time = v;
	} else if (!strcmp(name, "--data")) {
		if (!*value) {
			fprintf(stderr, "--data: the folder name is empty\n");
			return false;
		}
		data_option = value;
	} else if (!strcmp(name, "--size")) {
		if (!read_size(value, &config_width, &config_height)) {
			fprintf(stderr, "--size: '%s' is not a window size such as 1280x720\n", value);
			return false;
		}
	}
	return true;
}

static bool takes_value(const char* arg)
{
	static const char* const names[] = { "--skip", "--seek", "--capture", "--fps", "--blur", "--from", "--to", "--size", "--data" };
	for (const char* n : names)
		if (!strcmp(arg, n))
			return true;
	return false;
}

bool parse_options(int argc, char** argv)
{
	const char* pending = NULL;  // option whose value comes next
	for (int i = 1; i < argc; i++) {
		const char* arg = argv[i];
		if (pending) {
			bool ok = !strcmp(pending, "--skip") ? skip_option(arg) : value_option(pending, arg);
			if (!ok)
				return false;
			pending = NULL;
			continue;
		}
		int used = retime_option(argc, argv, i);
		if (used < 0)
			return false;
		if (used > 0) {
			i += used - 1;
			continue;
		}
		if (!strcmp(arg, "--fs")) {
			fprintf(stderr, "fs!\n");
			config_videoflags |= SDL_FULLSCREEN;
		}
		if (!strcmp(arg, "--fullhd")) {
			fprintf(stderr, "fullhd!\n");
			config_width = 1920;
			config_height = 1080;
		}
		if (!strcmp(arg, "--720p")) {
			fprintf(stderr, "half-hd!\n");
			config_width = 1280;
			config_height = 720;
		} else if (!strcmp(arg, "--nomusic")) {
			fprintf(stderr, "no music!\n");
			config_otherflags &= ~1;
		} else if (!strcmp(arg, "--skip")) {
			debugmode = true;
			pending = arg;
		} else if (!strcmp(arg, "--bench")) {
			capture_options.bench = true;
		} else if (!strcmp(arg, "--version")) {
			version_option = true;
		} else if (takes_value(arg)) {
			pending = arg;
		} else if (strcmp(arg, "--fs") && strcmp(arg, "--fullhd")) {
			// Ignored as ever, but a typo should show.
			fprintf(stderr, "ignoring unknown option '%s'\n", arg);
		}
	}
	if (pending && strcmp(pending, "--skip")) {
		fprintf(stderr, "%s: a value must follow\n", pending);
		return false;
	}
	if (seek_time >= 0.0 && timeval_skip > 0.0f) {
		fprintf(stderr, "--seek and --skip both give a start time: use one\n");
		return false;
	}
	if (capture_options.to < capture_options.from) {
		fprintf(stderr, "--to %.3f lies before --from %.3f\n", capture_options.to, capture_options.from);
		return false;
	}
	return retime_check(capture_clock());
}

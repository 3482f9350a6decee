#include "retime.h"

#include <SDL/SDL.h>
#include <errno.h>
#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glm/glm.hpp>
#include <string>
#include <vector>

#include "datadir.h"
#include "files.h"
#include "main.h"
#include "platform.h"
#include "seek.h"
#include "sync.h"

retime_options_s retime_options = { NULL, false, false, 0.0f, 0.0f, false };

// The command line as given, for running the program again.
static int saved_argc = 0;
static char** saved_argv = NULL;

// What the watched file looked like when last read.
struct stamp_s {
	bool exists;
	dev_t dev;
	ino_t ino;
	off_t size;
	struct timespec mtime;
};

static stamp_s seen;       // the file whose positions are in use
static stamp_s settling;   // a change waiting one more look before it is read
static bool is_settling = false;
static float next_poll = 0.0f;
static const float poll_period = 0.1f;  // seconds of demo time

static const long max_file = 1 << 20;

// The text of the events file whose positions are in use. A restart hands
// it to the next run in an unlinked file whose descriptor survives the
// exec, named by this variable: that run keeps these positions if the file
// has gone bad meanwhile.
static std::string in_use;
static const char* const handover_env = "QVD_EVENTS_IN_USE_FD";

static bool read_number(const char* text, double lo, double hi, float* out)
{
	char* end;
	double v = strtod(text, &end);
	if (end == text || *end || !isfinite(v) || v < lo || v > hi)
		return false;
	*out = (float)v;
	return true;
}

int retime_option(int argc, char** argv, int i)
{
	retime_options_s& r = retime_options;
	const char* arg = argv[i];
	if (!strcmp(arg, "--watch")) {
		r.watch = true;
		return 1;
	}
	if (!strcmp(arg, "--dump-events")) {
		r.dump = true;
		return 1;
	}
	if (!strcmp(arg, "--events")) {
		if (i + 1 >= argc || !strncmp(argv[i + 1], "--", 2) || !argv[i + 1][0]) {
			fprintf(stderr, "--events: a file name must follow\n");
			return -1;
		}
		r.events_path = argv[i + 1];
		return 2;
	}
	if (!strcmp(arg, "--loop")) {
		if (i + 2 >= argc || !read_number(argv[i + 1], -1.0, 100000.0, &r.loop_from) ||
			!read_number(argv[i + 2], -1.0, 100000.0, &r.loop_to) || r.loop_to <= r.loop_from) {
			fprintf(stderr, "--loop: two beat-grid positions A B must follow, A before B, from -1 to 100000\n");
			return -1;
		}
		if (r.loop_to - r.loop_from < 1.0f) {
			fprintf(stderr, "--loop: %s to %s is shorter than a beat, too short to play\n", argv[i + 1], argv[i + 2]);
			return -1;
		}
		r.loop = true;
		return 3;
	}
	return 0;
}

bool retime_check(bool recording)
{
	const retime_options_s& r = retime_options;
	if (r.watch && !r.events_path) {
		fprintf(stderr, "--watch: there is no --events file to watch\n");
		return false;
	}
	if (recording && (r.watch || r.loop)) {
		fprintf(stderr, "%s works in real time only, not with --capture or --bench\n", r.watch ? "--watch" : "--loop");
		return false;
	}
	if (!platform_can_restart && (r.watch || r.loop)) {
		fprintf(stderr, "%s starts the program again, which a web page cannot do\n", r.watch ? "--watch" : "--loop");
		return false;
	}
	return true;
}

static stamp_s file_stamp(const char* path)
{
	stamp_s s;
	memset(&s, 0, sizeof(s));
	struct stat st;
	if (stat(path, &st) == 0) {
		s.exists = true;
		s.dev = st.st_dev;
		s.ino = st.st_ino;
		s.size = st.st_size;
		s.mtime = st.st_mtim;
	}
	return s;
}

static bool same(const stamp_s& a, const stamp_s& b)
{
	return a.exists == b.exists && a.dev == b.dev && a.ino == b.ino && a.size == b.size &&
		a.mtime.tv_sec == b.mtime.tv_sec && a.mtime.tv_nsec == b.mtime.tv_nsec;
}

// Reads and parses an events file; on failure prints one line naming the
// file, the line and what is wrong.
static bool read_events_file(const char* path, std::vector<event_position>* list, std::string* read)
{
	FILE* f = open_regular(path, "rb");
	if (!f) {
		fprintf(stderr, "%s: can't read: %s\n", path, open_failure());
		return false;
	}
	std::string text;
	char buf[4096];
	size_t n;
	while ((n = fread(buf, 1, sizeof(buf), f)) > 0 && text.size() <= (size_t)max_file)
		text.append(buf, n);
	bool failed = ferror(f) != 0;
	int err = errno;
	fclose(f);
	if (failed) {
		fprintf(stderr, "%s: can't read: %s\n", path, strerror(err));
		return false;
	}
	if (text.size() > (size_t)max_file) {
		fprintf(stderr, "%s: larger than 1 MiB, not an events file\n", path);
		return false;
	}
	std::string what;
	int line = sync_load(text.data(), text.size(), list, &what);
	if (line) {
		fprintf(stderr, "%s:%i: %s\n", path, line, what.c_str());
		return false;
	}
	*read = text;
	return true;
}

// The positions a restarting run was using; false if this run was not
// started by one.
static bool handed_over(std::vector<event_position>* list, std::string* text)
{
	const char* name = getenv(handover_env);
	if (!name)
		return false;
	unsetenv(handover_env);
	char* end;
	long fd = strtol(name, &end, 10);
	struct stat st;
	if (*end || end == name || fd < 3 || fd > 65535 || fstat((int)fd, &st) != 0 || !S_ISREG(st.st_mode))
		return false;
	text->clear();
	char buf[4096];
	ssize_t n;
	lseek((int)fd, 0, SEEK_SET);
	while (text->size() <= (size_t)max_file && (n = read((int)fd, buf, sizeof(buf))) > 0)
		text->append(buf, (size_t)n);
	close((int)fd);
	std::string what;
	return text->size() <= (size_t)max_file && sync_load(text->data(), text->size(), list, &what) == 0;
}

static void hand_over()
{
	FILE* f = tmpfile();
	if (!f || fwrite(in_use.data(), 1, in_use.size(), f) != in_use.size() || fflush(f) != 0)
		return;
	int fd = fileno(f);
	fcntl(fd, F_SETFD, 0);  // kept across the exec
	char name[16];
	snprintf(name, sizeof(name), "%d", fd);
	setenv(handover_env, name, 1);
}

// Every end of a run goes through exit(): the recording's last frame, 'q',
// the window closed.
static void run_end()
{
	const retime_options_s& r = retime_options;
	leave_data_folder();  // the dump goes where the user started the demo
	if (r.dump)
		sync_save();
	if (r.events_path)
		for (const std::string& name : sync_unused())
			fprintf(stderr, "event '%s' in %s was never used\n", name.c_str(), r.events_path);
}

bool retime_start(int argc, char** argv)
{
	const retime_options_s& r = retime_options;
	saved_argc = argc;
	saved_argv = argv;
	if (r.events_path) {
		// Stamped before reading, so a change made meanwhile is seen.
		seen = file_stamp(r.events_path);
		std::vector<event_position> list, previous;
		std::string kept;
		bool restarted = handed_over(&previous, &kept);
		if (!read_events_file(r.events_path, &list, &in_use)) {
			// A bad save ends no session that is under way.
			if (!restarted)
				return false;
			fprintf(stderr, "keeping the positions in use until %s is mended\n", r.events_path);
			list = previous;
			in_use = kept;
		}
		sync_preset(list);
		fprintf(stderr, "%i event positions from %s\n", (int)list.size(), r.events_path);
	}
	if (r.dump || r.events_path)
		atexit(run_end);
	return true;
}

// Runs the program again with the same command line, seeking to the given
// demo time. Only a restart of the whole program rewinds the timeline: its
// stages and the effects keep their state in statics.
static void restart(float seconds)
{
	std::vector<char*> args;
	args.push_back(saved_argv[0]);
	for (int i = 1; i < saved_argc; i++) {
		if (!strcmp(saved_argv[i], "--skip") || !strcmp(saved_argv[i], "--seek")) {
			i++;  // it and its value give way to the new start
			continue;
		}
		args.push_back(saved_argv[i]);
	}
	char start[32];
	snprintf(start, sizeof(start), "%.4f", glm::clamp((double)seconds, 0.0, max_seek));
	args.push_back((char*)"--seek");
	args.push_back(start);
	args.push_back(NULL);

	if (retime_options.events_path)
		hand_over();
	fflush(NULL);
	SDL_Quit();  // the window and the sound device must not outlive the old run
	leave_data_folder();  // the same command line finds the same folders again
	execv("/proc/self/exe", args.data());
	execvp(saved_argv[0], args.data());
	fprintf(stderr, "can't start the demo again: %s\n", strerror(errno));
	exit(1);
}

static float beat_time(float beat)
{
	return beat_first + beat * ((beat_last - beat_first) / beat_lastnum);
}

static void watch_poll()
{
	const char* path = retime_options.events_path;
	stamp_s now = file_stamp(path);
	if (same(now, seen)) {
		is_settling = false;
		return;
	}
	// An editor may still be writing: act once the file has held still for
	// one poll period.
	if (!is_settling || !same(now, settling)) {
		is_settling = true;
		settling = now;
		return;
	}
	is_settling = false;
	seen = now;
	std::vector<event_position> list;
	std::string text;
	if (!read_events_file(path, &list, &text)) {
		fprintf(stderr, "keeping the positions in use until %s is mended\n", path);
		return;
	}
	in_use = text;
	fprintf(stderr, "%s changed, starting again at %.2f s\n", path, timeval);
	restart(timeval);
}

void retime_begin()
{
	const retime_options_s& r = retime_options;
	if (!r.loop)
		return;
	// The loop starts at A, or at the music's start if A lies before it;
	// a start given by --skip or --seek inside the loop stays.
	float from = glm::max(0.0f, beat_time(r.loop_from));
	if (from > max_seek) {
		fprintf(stderr, "--loop: beat %.2f lies %.0f s in, past the hour a seek reaches\n", r.loop_from, from);
		exit(2);
	}
	float start = seek_time >= 0.0 ? (float)seek_time : timeval_skip;
	if (start < from || start >= beat_time(r.loop_to)) {
		timeval_skip = 0.0f;
		seek_time = from;
		fprintf(stderr, "seeking to %.2f\n", from);
	}
}

void retime_frame()
{
	const retime_options_s& r = retime_options;
	// A pass starts at A, or inside the loop, so it reaches B after a frame
	// at least.
	if (r.loop && beatgrid >= r.loop_to) {
		fprintf(stderr, "loop end %.2f reached, starting again at beat %.2f\n", r.loop_to, r.loop_from);
		restart(beat_time(r.loop_from));
	}
	if (r.watch && timeval >= next_poll) {
		next_poll = timeval + poll_period;
		watch_poll();
	}
}

#include "capture.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <errno.h>
#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>


#include "files.h"
#include "gl.h"
#include "main.h"
#include "seek.h"
#include "stb_write.h"
#include "sync.h"

capture_options_s capture_options = { false, false, NULL, 50, 1, 1, 0.0, 225.0 };

static int64_t drawn_frame = 0;     // number of the frame just drawn
static int64_t first_output = 0;    // first output frame at or after --from
static int64_t last_output = 0;     // output frame at --to
static int64_t frames_written = 0;
static FILE* video_pipe = NULL;
static std::vector<uint8_t> frame_rgba;    // one frame as read, bottom row first
static std::vector<uint8_t> frame_rgb;     // the same without alpha
static std::vector<uint16_t> frame_sum;    // blur accumulator
static std::vector<uint8_t> frame_out;
static bool catching_up = false;    // a --skip recording before its start
static int held_frames = 0;
qvdtime_t started_at, gl_ready_at;
static qvdtime_t wall_start;
static qvdtime_t last_progress;

// Bench: one entry per drawn frame, milliseconds, and the frame's demo time.
// The processor time of the frame (all threads, the renderer's included)
// does not grow with the wait for a processor that a busy machine adds
// to the wall time.
static std::vector<float> bench_ms;
static std::vector<float> bench_cpu_ms;
static std::vector<float> bench_time;
static qvdtime_t frame_begin;
static double frame_cpu_begin;

static double cpu_seconds()
{
	struct rusage u;
	getrusage(RUSAGE_SELF, &u);
	return (double)(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

bool parse_fps(const char* text, int64_t* num, int64_t* den)
{
	char* end;
	long long n = strtoll(text, &end, 10);
	long long d = 1;
	if (end == text || n <= 0 || n > 1000000000)
		return false;
	if (*end == '/') {
		const char* rest = end + 1;
		d = strtoll(rest, &end, 10);
		if (end == rest || d <= 0 || d > 1000000000)
			return false;
	}
	// From one frame a day, the longest a recording runs, to 1000 a second.
	double rate = (double)n / (double)d;
	if (*end || rate > 1000.0 || rate * max_frame_period < 1.0)
		return false;
	*num = n;
	*den = d;
	return true;
}

double capture_frame_time(int64_t n)
{
	const capture_options_s& c = capture_options;
	return timeval_skip + (double)(n * c.fps_den) / (double)(c.fps_num * c.blur);
}

float capture_frame_period()
{
	const capture_options_s& c = capture_options;
	return (float)((double)c.fps_den / (double)(c.fps_num * c.blur));
}

static double output_time(int64_t m)
{
	return capture_frame_time(m * capture_options.blur);
}

static bool ends_with(const char* s, const char* suffix)
{
	size_t a = strlen(s), b = strlen(suffix);
	return a >= b && !strcmp(s + a - b, suffix);
}

static bool is_video_path(const char* path)
{
	return ends_with(path, ".mp4") || ends_with(path, ".mkv") || ends_with(path, ".webm");
}

static std::string shell_quote(const char* s)
{
	std::string q = "'";
	for (; *s; s++) {
		if (*s == '\'')
			q += "'\\''";
		else
			q += *s;
	}
	return q + "'";
}

static bool make_folder(const char* path)
{
	std::string p = path;
	for (size_t i = 1; i <= p.size(); i++) {
		if (i < p.size() && p[i] != '/')
			continue;
		std::string part = p.substr(0, i);
		if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
			return false;
	}
	struct stat st;
	return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// The music goes into the video only if ffmpeg finds sound in it: a
// damaged file leaves the video silent, as it leaves the demo, instead of
// stopping ffmpeg.
static bool music_usable(const char* fn)
{
	FILE* f = open_regular(fn, "rb");  // ffmpeg would wait for good on a FIFO
	if (!f)
		return false;
	fclose(f);
	std::string cmd = "ffprobe -v quiet -select_streams a -show_entries stream=codec_type -of csv=p=0 " +
		shell_quote(fn) + " 2>/dev/null";
	FILE* probe = popen(cmd.c_str(), "r");
	if (!probe)
		return false;
	char line[64] = "";
	bool audio = fgets(line, sizeof(line), probe) && !strncmp(line, "audio", 5);
	return pclose(probe) == 0 && audio;
}

static void open_video(const char* path)
{
	const capture_options_s& c = capture_options;
	char head[512];
	snprintf(head, sizeof(head),
		"ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb24 -s %ix%i -framerate %lld/%lld -i -",
		video_w, video_h, (long long)c.fps_num, (long long)c.fps_den);
	std::string cmd = head;
	// The music starts where the first written frame starts.
	if (song_file && music_usable(song_file)) {
		char seek[64];
		snprintf(seek, sizeof(seek), " -ss %.6f -i ", output_time(first_output));
		// The picture runs on after the music: pad with silence, end with the picture.
		cmd += seek + shell_quote(song_file) + " -map 0:v -map 1:a -af apad -shortest";
	} else {
		fprintf(stderr, "capture: no usable music file, the video is silent\n");
	}
	cmd += " -vf vflip";
	if (ends_with(path, ".webm"))
		cmd += " -c:v libvpx-vp9 -b:v 4M -c:a libopus -b:a 160k";
	else
		cmd += " -c:v libx264 -preset medium -crf 18 -pix_fmt yuv420p -c:a aac -b:a 192k";
	cmd += " " + shell_quote(path);
	signal(SIGPIPE, SIG_IGN);
	// ffmpeg overwrites it anyway; gone, an old video cannot pass for a new one.
	unlink(path);
	video_pipe = popen(cmd.c_str(), "w");
	if (!video_pipe) {
		fprintf(stderr, "capture: can't start ffmpeg\n");
		exit(1);
	}
}

// Ten minutes at 50 frames/s up front; a longer bench grows as it draws,
// so a huge --to costs nothing before its frames exist.
static const size_t max_reserved_frames = 50 * 600;

static bool on_path(const char* program)
{
	const char* path = getenv("PATH");
	std::string dirs = path ? path : "/usr/bin:/bin";
	size_t start = 0;
	while (start <= dirs.size()) {
		size_t end = dirs.find(':', start);
		if (end == std::string::npos)
			end = dirs.size();
		std::string dir = end > start ? dirs.substr(start, end - start) : ".";
		if (access((dir + "/" + program).c_str(), X_OK) == 0)
			return true;
		start = end + 1;
	}
	return false;
}

bool capture_check()
{
	const capture_options_s& c = capture_options;
	if (c.capture && is_video_path(c.path) && !on_path("ffmpeg")) {
		fprintf(stderr, "recording a video needs ffmpeg (apt-get install ffmpeg); a folder path records PNG frames without it\n");
		return false;
	}
	return true;
}

void capture_start()
{
	const capture_options_s& c = capture_options;
	catching_up = timeval_skip > 0.0f && seek_time < 0.0;  // --skip's, not a seek's
	first_output = (int64_t)ceil((c.from - timeval_skip) * c.fps_num / c.fps_den - 1e-9);
	if (first_output < 0)
		first_output = 0;
	last_output = (int64_t)ceil((c.to - timeval_skip) * c.fps_num / c.fps_den - 1e-9);
	if (last_output < first_output)
		last_output = first_output;

	size_t px = (size_t)video_w * video_h * 3;
	frame_rgba.assign((size_t)video_w * video_h * 4, 0);
	frame_rgb.assign(px, 0);
	frame_sum.assign(px, 0);
	frame_out.assign(px, 0);
	if (c.bench) {
		size_t frames = std::min((size_t)((last_output + 2) * c.blur), max_reserved_frames);
		bench_ms.reserve(frames);
		bench_cpu_ms.reserve(frames);
		bench_time.reserve(frames);
	}
	if (c.capture) {
		if (is_video_path(c.path)) {
			open_video(c.path);
		} else if (!make_folder(c.path)) {
			fprintf(stderr, "capture: can't create folder %s\n", c.path);
			exit(1);
		}
	}
	getqvdtime(&wall_start);
	last_progress = wall_start;
	getqvdtime(&frame_begin);
	frame_cpu_begin = cpu_seconds();
}

static double seconds_since(qvdtime_t start)
{
	qvdtime_t now, d;
	getqvdtime(&now);
	qvdtimersub(&now, &start, &d);
	return tvtof(&d);
}

static double seconds_between(qvdtime_t a, qvdtime_t b)
{
	qvdtime_t d;
	qvdtimersub(&b, &a, &d);
	return tvtof(&d);
}

// Where the time to the first frame went.
static void print_startup()
{
	qvdtime_t now;
	getqvdtime(&now);
	fprintf(stderr, "bench start-up: %.3f s to the first frame (window and GL %.3f s, set-up %.3f s, "
		"first frame %.3f s)\n", seconds_between(started_at, now), seconds_between(started_at, gl_ready_at),
		seconds_between(gl_ready_at, wall_start), seconds_between(wall_start, now));
}

static void write_output(int64_t m)
{
	const capture_options_s& c = capture_options;
	const uint8_t* pixels = frame_rgb.data();
	if (c.blur > 1) {
		// Integer average, truncating, as the blurred screenshots do.
		for (size_t i = 0; i < frame_sum.size(); i++)
			frame_out[i] = (uint8_t)(frame_sum[i] / c.blur);
		pixels = frame_out.data();
	}
	if (video_pipe) {
		if (fwrite(pixels, 1, frame_out.size(), video_pipe) != frame_out.size()) {
			fprintf(stderr, "capture: ffmpeg stopped taking frames\n");
			exit(1);
		}
	} else {
		char name[32];
		snprintf(name, sizeof(name), "/%06lld.png", (long long)m);
		std::string path = std::string(c.path) + name;
		if (!write_png_rgb_flipped(path.c_str(), video_w, video_h, pixels)) {
			fprintf(stderr, "capture: can't write %s\n", path.c_str());
			exit(1);
		}
	}
	frames_written++;
}

static void print_progress(int64_t m)
{
	double wall = seconds_since(last_progress);
	if (wall < 1.0)
		return;
	getqvdtime(&last_progress);
	double elapsed = seconds_since(wall_start);
	double done = (double)(m + 1) / (double)(last_output + 1);
	double fps = (double)(drawn_frame + 1) / elapsed;
	double left = done > 0.0 ? elapsed * (1.0 - done) / done : 0.0;
	fprintf(stderr, "capture: %.1f%%, %.1f frames/s, %d:%02d left\n", done * 100.0, fps,
		(int)left / 60, (int)left % 60);
}

static void window_line(const char* label, std::vector<float>& ms, double cpu_sum)
{
	if (ms.empty())
		return;
	std::sort(ms.begin(), ms.end());
	double sum = 0.0;
	for (float v : ms)
		sum += v;
	size_t p99 = (size_t)ceil(0.99 * ms.size()) - 1;
	fprintf(stderr, "bench %s: %i frames, mean %.2f ms, p99 %.2f ms, max %.2f ms, cpu %.2f ms\n", label,
		(int)ms.size(), sum / ms.size(), ms[p99], ms.back(), cpu_sum / ms.size());
}

static void print_bench()
{
	std::vector<float> window, all(bench_ms);
	double cpu = 0.0, cpu_all = 0.0;
	int current = -1;
	for (size_t i = 0; i <= bench_ms.size(); i++) {
		int w = i < bench_ms.size() ? (int)floor(bench_time[i] / 10.0f) : -2;
		if (w != current && !window.empty()) {
			char label[32];
			snprintf(label, sizeof(label), "%i-%i s", current * 10, current * 10 + 10);
			window_line(label, window, cpu);
			window.clear();
			cpu = 0.0;
		}
		current = w;
		if (i < bench_ms.size()) {
			window.push_back(bench_ms[i]);
			cpu += bench_cpu_ms[i];
			cpu_all += bench_cpu_ms[i];
		}
	}
	window_line("total", all, cpu_all);
}

static void finish()
{
	if (capture_options.bench)
		print_bench();
	if (video_pipe) {
		struct stat st;
		if (pclose(video_pipe) != 0) {
			fprintf(stderr, "capture: ffmpeg failed writing %s\n", capture_options.path);
			exit(1);
		}
		if (stat(capture_options.path, &st) != 0 || st.st_size == 0) {
			fprintf(stderr, "capture: ffmpeg left no video in %s\n", capture_options.path);
			exit(1);
		}
	}
	if (capture_options.capture)
		fprintf(stderr, "capture: %lld frames written to %s\n", (long long)frames_written, capture_options.path);
	// No SDL_Quit: shutting the display down unloads the GL driver, whose
	// own leftovers then show up as leaks of unknown origin.
	exit(0);
}

// With --skip the script steps through every earlier stage, drawing one
// frame in each while their end events fire, after a first frame drawn at
// time 0. Such a frame fired an event placed before the start; it is not
// part of the recording, and the clock holds at the start meanwhile.
static bool before_start()
{
	if (timeval < timeval_skip)
		return true;
	float start = beatgrid_calc(timeval_skip);
	for (event_map::iterator it = events.begin(); it != events.end(); ++it)
		if (it->second.happened_queue && !it->second.happened && it->second.beatnum < start)
			return true;
	return false;
}

static void hold_at_start()
{
	swap_buffers();
	held_frames++;
	frametime = 0.0f;
	frameskip = 0;
	timeval = (float)capture_frame_time(0);
	beatgrid = beatgrid_calc(timeval);
	sync_dispatcher();
	getqvdtime(&frame_begin);
}

// RGBA is the one layout every OpenGL ES 2 driver reads back.
static void read_frame()
{
	glPixelStorei(GL_PACK_ALIGNMENT, 4);
	glReadPixels(0, 0, video_w, video_h, GL_RGBA, GL_UNSIGNED_BYTE, frame_rgba.data());
	const uint8_t* from = frame_rgba.data();
	uint8_t* to = frame_rgb.data();
	for (size_t n = (size_t)video_w * video_h; n > 0; n--, from += 4, to += 3) {
		to[0] = from[0];
		to[1] = from[1];
		to[2] = from[2];
	}
}

void capture_end_frame()
{
	const capture_options_s& c = capture_options;
	// A script that never settles still gets recorded, from a later frame.
	if (catching_up && held_frames < 1000 && before_start()) {
		hold_at_start();
		return;
	}
	catching_up = false;
	int64_t m = drawn_frame / c.blur;
	int slot = (int)(drawn_frame % c.blur);
	bool wanted = c.capture && m >= first_output;

	if (wanted) {
		read_frame();
		if (c.blur > 1) {
			if (slot == 0)
				std::fill(frame_sum.begin(), frame_sum.end(), 0);
			for (size_t i = 0; i < frame_sum.size(); i++)
				frame_sum[i] += frame_rgb[i];
		}
	}
	swap_buffers();
	if (c.bench) {
		glFinish();
		bench_ms.push_back((float)(seconds_since(frame_begin) * 1000.0));
		bench_cpu_ms.push_back((float)((cpu_seconds() - frame_cpu_begin) * 1000.0));
		bench_time.push_back(timeval);
		if (drawn_frame == 0)
			print_startup();
	}
	if (slot == c.blur - 1) {
		if (wanted)
			write_output(m);
		print_progress(m);
		if (m >= last_output)
			finish();
	}

	// The next frame's time comes from its number alone, so nothing drifts.
	drawn_frame++;
	frametime = capture_frame_period();
	frameskip = frameskip_advance(&frameskiptime, frametime);
	framecounter += 1;
	framecounter_logic += frameskip;
	timeval = (float)capture_frame_time(drawn_frame);
	beatgrid = beatgrid_calc(timeval);
	sync_dispatcher();
	getqvdtime(&frame_begin);
	frame_cpu_begin = cpu_seconds();
}

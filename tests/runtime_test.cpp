// Runs the small runtime demo as a whole program and checks its clock,
// events, messages and written frames.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "liverun.h"

struct frame_s {
	long n;
	double t, b;
	int fs;
	std::string fired;
};

struct run_s {
	int status;
	std::string out;
	std::string err;
	std::vector<frame_s> frames;
};

static std::string tmpdir()
{
	char tmpl[] = "/tmp/qvdrunXXXXXX";
	return mkdtemp(tmpl);
}

static std::string slurp(const std::string& path)
{
	std::ifstream in(path);
	std::stringstream s;
	s << in.rdbuf();
	return s.str();
}

static bool parse_frame(const std::string& line, frame_s* f)
{
	char fired[256] = "";
	if (sscanf(line.c_str(), "frame %ld t %lf b %lf fs %d fired%255[^\n]", &f->n, &f->t, &f->b, &f->fs, fired) < 4)
		return false;
	f->fired = fired;
	return true;
}

static run_s run(const std::string& args, const std::string& env = "")
{
	std::string dir = tmpdir();
	std::string cmd = env + " " RUNTIME_DEMO " " + args + " >" + dir + "/out 2>" + dir + "/err";
	run_s r;
	int st = system(cmd.c_str());
	r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
	r.out = slurp(dir + "/out");
	r.err = slurp(dir + "/err");
	std::istringstream lines(r.out);
	std::string line;
	frame_s f;
	while (std::getline(lines, line))
		if (parse_frame(line, &f))
			r.frames.push_back(f);
	return r;
}

static bool has(const std::string& text, const std::string& part)
{
	return text.find(part) != std::string::npos;
}

TEST(Runtime, CaptureAtFiftyFramesPerSecond)
{
	std::string dir = tmpdir() + "/frames";
	run_s r = run("--capture " + dir + " --to 4");
	ASSERT_EQ(r.status, 0) << r.err;
	ASSERT_EQ(r.frames.size(), 201u);

	// Frame 0 is drawn before the clock first moves; its events fire there.
	EXPECT_EQ(r.frames[0].t, 0.0);
	EXPECT_EQ(r.frames[0].b, 0.0);
	EXPECT_EQ(r.frames[0].fs, 0);
	EXPECT_EQ(r.frames[0].fired, " ev0");
	for (size_t n = 1; n < r.frames.size(); n++) {
		const frame_s& f = r.frames[n];
		ASSERT_EQ(f.fs, 1) << "frame " << n;
		ASSERT_NEAR(f.t, n / 50.0, 2e-6) << "frame " << n;
		ASSERT_NEAR(f.b, (n / 50.0 - 0.128) * 1.5751132, 2e-4);
		bool ten = f.b >= 10.0 && r.frames[n - 1].b < 10.0;
		ASSERT_EQ(has(f.fired, "ev10"), ten) << "frame " << n;
	}

	for (int m : { 0, 1, 77, 200 }) {
		char name[64];
		snprintf(name, sizeof(name), "/%06d.png", m);
		int w, h, c;
		unsigned char* px = stbi_load((dir + name).c_str(), &w, &h, &c, 3);
		ASSERT_NE(px, nullptr) << name;
		EXPECT_EQ(w, 854);
		EXPECT_EQ(h, 480);
		EXPECT_EQ(px[0], (m * 2) % 256) << name;
		EXPECT_EQ(px[2], 128);
		stbi_image_free(px);
	}
	FILE* extra = fopen((dir + "/000201.png").c_str(), "rb");
	EXPECT_EQ(extra, nullptr);

	EXPECT_TRUE(has(r.err, "depth size: "));
	EXPECT_TRUE(has(r.err, "stencil size: 8\n"));
	EXPECT_TRUE(has(r.err, "doublebuffer: 1\n"));
	EXPECT_TRUE(has(r.err, "screen res: 854, 480\n"));
	EXPECT_TRUE(has(r.err, "viewport should be now 854, 480\n"));
	EXPECT_TRUE(has(r.out, "Vendor     : "));
	EXPECT_TRUE(has(r.out, "Renderer   : "));
	EXPECT_TRUE(has(r.out, "Version    : "));
	EXPECT_TRUE(has(r.out, "Extensions : "));
	EXPECT_TRUE(has(r.err, "adding event 'ev0' at time 0.00, spawn 0\n"));
	EXPECT_TRUE(has(r.err, "event 'ev0' happened! 0.00\n"));
	EXPECT_TRUE(has(r.err, "capture: 201 frames written to " + dir + "\n"));
}

static int red_of(const std::string& png)
{
	int w, h, c;
	unsigned char* px = stbi_load(png.c_str(), &w, &h, &c, 3);
	if (!px)
		return -1;
	int red = px[0];
	stbi_image_free(px);
	return red;
}

TEST(Runtime, SkipRecordingStartsAtTheSkipOnceTheScriptSettles)
{
	std::string dir = tmpdir();
	run_s r = run("--capture " + dir + " --skip 30 --to 30.5 --size 160x90");
	ASSERT_EQ(r.status, 0) << r.err;
	EXPECT_TRUE(has(r.err, "skipping time to 30.00\n"));
	ASSERT_GE(r.frames.size(), 5u);
	// Frame 0 is drawn at time 0, frame 1 at the start, where everything
	// placed before it fires; both are held out of the recording.
	EXPECT_EQ(r.frames[0].fired, " ev0");
	EXPECT_NEAR(r.frames[1].t, 30.0, 1e-5);
	EXPECT_NEAR(r.frames[1].b, 47.05, 0.01);
	EXPECT_EQ(r.frames[1].fs, 0);
	EXPECT_EQ(r.frames[1].fired, " ev10 ev47");
	// Frame 2 fires nothing from before the start: it is the first written,
	// at 30.00 s, and the clock moves on from there.
	EXPECT_NEAR(r.frames[2].t, 30.0, 1e-5);
	EXPECT_EQ(r.frames[2].fired, "");
	EXPECT_NEAR(r.frames[3].t, 30.02, 1e-5);
	EXPECT_EQ(r.frames[3].fs, 1);
	for (const frame_s& f : r.frames)
		if (f.b >= 48.0) {
			EXPECT_EQ(f.fired, " ev48");
			break;
		}
	EXPECT_EQ(r.frames.size(), 28u);
	// 26 frames, 30.00 to 30.50 s: drawn frames 2 to 27 (red = 2 * frame).
	EXPECT_EQ(red_of(dir + "/000000.png"), 4);
	EXPECT_EQ(red_of(dir + "/000025.png"), 54);
	EXPECT_EQ(red_of(dir + "/000026.png"), -1);
	EXPECT_TRUE(has(r.err, "capture: 26 frames written to " + dir + "\n"));
}

TEST(Runtime, FromRecordsAnExcerptSimulatedFromTheStart)
{
	std::string dir = tmpdir();
	run_s r = run("--capture " + dir + " --from 30 --to 30.5 --size 160x90");
	ASSERT_EQ(r.status, 0) << r.err;
	EXPECT_EQ(r.frames.size(), 1526u);
	EXPECT_EQ(red_of(dir + "/000000.png"), -1);
	EXPECT_EQ(red_of(dir + "/001500.png"), (1500 * 2) % 256);
	EXPECT_EQ(red_of(dir + "/001525.png"), (1525 * 2) % 256);
	EXPECT_EQ(red_of(dir + "/001526.png"), -1);
}

TEST(Runtime, BenchAtSixtyShowsTheAccumulatorAndPerWindowLines)
{
	run_s r = run("--bench --fps 60 --to 12 --size 160x90");
	ASSERT_EQ(r.status, 0) << r.err;
	int steps = 0, zeros = 0;
	for (size_t n = 1; n < r.frames.size(); n++) {
		ASSERT_LE(r.frames[n].fs, 1);
		zeros += r.frames[n].fs == 0;
		steps += r.frames[n].fs;
		ASSERT_NEAR(r.frames[n].t, n / 60.0, 2e-6);
	}
	EXPECT_EQ(r.frames.size(), 12u * 60 + 1);
	EXPECT_NEAR(steps, 600, 1);
	EXPECT_NEAR(zeros, 120, 1);
	EXPECT_TRUE(has(r.err, "bench 0-10 s: 600 frames, mean "));
	EXPECT_TRUE(has(r.err, "bench 10-20 s: 121 frames, mean "));
	EXPECT_TRUE(has(r.err, "bench total: 721 frames, mean "));
	EXPECT_TRUE(has(r.err, " ms, p99 "));
	// once, at the end of the first frame, with its parts adding up
	size_t at = r.err.find("bench start-up: ");
	ASSERT_NE(at, std::string::npos);
	EXPECT_EQ(r.err.find("bench start-up: ", at + 1), std::string::npos);
	EXPECT_LT(at, r.err.find("bench 0-10 s"));
	double total = 0, gl = 0, setup = 0, first = 0;
	ASSERT_EQ(sscanf(r.err.c_str() + at, "bench start-up: %lf s to the first frame (window and GL %lf s, set-up %lf s, "
		"first frame %lf s)", &total, &gl, &setup, &first), 4);
	EXPECT_GT(gl, 0.0);
	EXPECT_GE(first, 0.0);
	EXPECT_NEAR(gl + setup + first, total, 0.0021);
}

TEST(Runtime, WholeTrackAtNtscRateDoesNotDrift)
{
	run_s r = run("--bench --fps 60000/1001 --to 225 --size 32x18");
	ASSERT_EQ(r.status, 0) << r.err;
	ASSERT_EQ(r.frames.size(), 13488u);  // up to the first frame at or after 225 s
	for (size_t n = 1; n < r.frames.size(); n++) {
		double exact = n * 1001.0 / 60000.0;
		// timeval is a float: at most half an ulp from the exact time
		ASSERT_LE(fabs(r.frames[n].t - exact), exact * 6e-8 + 1e-6) << "frame " << n;
	}
}

TEST(Runtime, BlurAveragesConsecutiveFrames)
{
	std::string dir = tmpdir();
	run_s r = run("--capture " + dir + " --blur 2 --to 1 --size 64x36");
	ASSERT_EQ(r.status, 0) << r.err;
	EXPECT_EQ(r.frames.size(), 102u);
	for (int m : { 1, 20, 50 }) {
		char name[64];
		snprintf(name, sizeof(name), "/%06d.png", m);
		int w, h, c;
		unsigned char* px = stbi_load((dir + name).c_str(), &w, &h, &c, 3);
		ASSERT_NE(px, nullptr);
		EXPECT_EQ(px[0], 4 * m + 1);  // (2 * 2m + 2 * (2m + 1)) / 2
		stbi_image_free(px);
	}
}

TEST(Runtime, VideoCarriesTheMusicAndOutlastsIt)
{
	std::string dir = tmpdir();
	std::string song = dir + "/tone.wav";
	ASSERT_EQ(system(("sox -n -r 44100 -c 2 " + song + " synth 6 sine 440 2>/dev/null").c_str()), 0);
	// The picture runs on after the 6 s of music.
	run_s r = run("--capture " + dir + "/out.mp4 --from 5 --to 7 --size 160x90", "RUNTIME_DEMO_SONG=" + song);
	ASSERT_EQ(r.status, 0) << r.err;
	std::string probe = dir + "/probe";
	system(("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames,duration "
		"-of compact " + dir + "/out.mp4 >" + probe).c_str());
	std::string info = slurp(probe);
	EXPECT_TRUE(has(info, "codec_type=video"));
	EXPECT_TRUE(has(info, "nb_read_frames=101")) << info;
	EXPECT_TRUE(has(info, "codec_type=audio")) << info;
}

TEST(Runtime, RealTimeClockPacesAtFiftyAndPrintsStatistics)
{
	run_s r = run("", "RUNTIME_DEMO_QUIT=2.3");
	ASSERT_EQ(r.status, 0) << r.err;
	ASSERT_GT(r.frames.size(), 20u);
	for (size_t n = 2; n < r.frames.size(); n++) {
		ASSERT_GE(r.frames[n].fs, 1);
		ASSERT_GE(r.frames[n].t - r.frames[n - 1].t, 0.0199);
	}
	size_t at = r.err.find("fps: ");
	ASSERT_NE(at, std::string::npos) << r.err;
	int frames, steps;
	float fps, lps, t, b;
	ASSERT_EQ(sscanf(r.err.c_str() + at, "fps: %f (%d) logic: %f (%d) time: %f beat: %f", &fps, &frames,
			  &lps, &steps, &t, &b), 6);
	EXPECT_FLOAT_EQ(fps, frames / 2.0f);
	EXPECT_FLOAT_EQ(lps, steps / 2.0f);
}

TEST(Runtime, BadOptionsStopWithOneLine)
{
	struct {
		const char* args;
		const char* message;
	} cases[] = {
		{ "--fps 0", "--fps: '0' is not a frame rate from one a day to 1000 a second, such as 50 or 60000/1001\n" },
		{ "--bench --to 1e10", "--to: '1e10' lies past a day (86400 s), too long for a recording\n" },
		{ "--skip 1e39", "--skip: '1e39' is not a time from 0 to 86400 s (a day)\n" },
		{ "--capture --bench --to 1", "--capture: a value must follow, not the option '--bench'\n" },
	};
	for (auto& c : cases) {
		run_s r = run(c.args);
		EXPECT_EQ(r.status, 2) << c.args;
		EXPECT_EQ(r.err, c.message);
		EXPECT_TRUE(r.frames.empty());
	}
}

TEST(Runtime, NoDisplayIsOneLineAndACleanTerminal)
{
	for (const char* display : { "env -u DISPLAY", "DISPLAY=:4711" }) {
		run_s r = run("", display);
		EXPECT_EQ(r.status, 1) << display;
		EXPECT_TRUE(r.err.find("no X display could be opened (DISPLAY=") == 0) << r.err;
		EXPECT_TRUE(has(r.err, "); --capture under xvfb-run records without one\n")) << r.err;
		EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
		EXPECT_EQ(r.out, "");  // no escape codes of a text-terminal driver
	}
}

TEST(Runtime, AVideoNeedsAWorkingFfmpeg)
{
	std::string dir = tmpdir();
	// No ffmpeg at all: said before any window opens.
	run_s r = run("--capture " + dir + "/a.mp4 --to 1 --size 64x36", "PATH=" + dir);
	EXPECT_EQ(r.status, 1);
	EXPECT_EQ(r.err, "recording a video needs ffmpeg (apt-get install ffmpeg); a folder path records "
			 "PNG frames without it\n");
	EXPECT_TRUE(r.frames.empty());
	// An ffmpeg that takes every frame and writes nothing.
	std::string fake = dir + "/ffmpeg";
	FILE* f = fopen(fake.c_str(), "w");
	fputs("#!/bin/sh\ncat >/dev/null\n", f);
	fclose(f);
	chmod(fake.c_str(), 0755);
	// An old video of that name does not count.
	f = fopen((dir + "/b.mp4").c_str(), "w");
	fputs("old", f);
	fclose(f);
	r = run("--capture " + dir + "/b.mp4 --to 1 --size 64x36", "PATH=" + dir + ":/usr/bin:/bin");
	EXPECT_EQ(r.status, 1);
	EXPECT_TRUE(has(r.err, "capture: ffmpeg left no video in " + dir + "/b.mp4\n")) << r.err;
	EXPECT_FALSE(has(r.err, "frames written"));
}

static void write_file(const std::string& path, const std::string& text)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << text;
}

TEST(Runtime, EventsFileMovesEventsAndTheRunEndsWithDumpAndReport)
{
	std::string dir = tmpdir();
	write_file(dir + "/ev.txt", "# retimed\n'ev10' 5\n'ev_typo' 3\n");
	run_s r = run("--events ev.txt --dump-events --bench --to 4", "cd " + dir + " &&");
	ASSERT_EQ(r.status, 0) << r.err;
	EXPECT_TRUE(has(r.err, "2 event positions from ev.txt\n"));

	// ev10 fires in the first frame at or past beat 5, not at 10.
	int fired = 0;
	for (size_t n = 1; n < r.frames.size(); n++) {
		if (has(r.frames[n].fired, "ev10")) {
			fired++;
			EXPECT_GE(r.frames[n].b, 5.0);
			EXPECT_LT(r.frames[n - 1].b, 5.0);
		}
	}
	EXPECT_EQ(fired, 1);

	// At the end: the code's events in name order, the unused name reported.
	EXPECT_EQ(slurp(dir + "/eventsdump.txt"), "'ev0' 0.00000\n'ev10' 5.00000\n'ev47' 47.00000\n'ev48' 48.00000\n");
	size_t at = r.err.find("event 'ev_typo' in ev.txt was never used\n");
	EXPECT_NE(at, std::string::npos) << r.err;
	EXPECT_EQ(r.err.find("ev_typo", at + 10), std::string::npos);
	EXPECT_GT(at, r.err.find("bench total: ")) << "reported before the run ended";
}

TEST(Runtime, BadEventsFileStopsBeforeAnythingOpens)
{
	std::string dir = tmpdir();
	struct {
		const char* text;
		const char* message;
	} cases[] = {
		{ NULL, "ev.txt: can't read: No such file or directory\n" },
		{ "'ev10' 5\n\n'ev47' soon\n", "ev.txt:3: position 'soon' is not a number\n" },
		{ "'ev10' 5\n'ev48' nan\n", "ev.txt:2: position 'nan' is not a finite number\n" },
		{ "'ev10' 5\n# again\n'ev10' 6\n", "ev.txt:3: 'ev10' given twice (first on line 1)\n" },
		{ "ev10 5\n", "ev.txt:1: expected 'name' position\n" },
	};
	for (auto& c : cases) {
		unlink((dir + "/ev.txt").c_str());
		if (c.text)
			write_file(dir + "/ev.txt", c.text);
		// A file taken for good would play on: stop it.
		run_s r = run("--events ev.txt", "cd " + dir + " && timeout -s KILL 10");
		EXPECT_EQ(r.status, 2) << c.message;
		EXPECT_EQ(r.err, c.message);
		EXPECT_EQ(r.out, "") << "the window was opened";
	}
	// A folder is not a file; a FIFO would hold the start for good.
	ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
	for (std::string path : { dir, dir + "/fifo" }) {
		run_s r = run("--events " + path, "timeout -s KILL 10");
		EXPECT_EQ(r.status, 2);
		EXPECT_EQ(r.err, path + ": can't read: not a regular file\n");
	}
}

// Splits the frame lines of a run that started itself again into one list
// per start.
static std::vector<std::vector<frame_s>> starts(const std::vector<frame_s>& frames)
{
	std::vector<std::vector<frame_s>> runs;
	for (const frame_s& f : frames) {
		if (f.n == 0)
			runs.emplace_back();
		if (!runs.empty())
			runs.back().push_back(f);
	}
	return runs;
}

static int count(const std::string& text, const std::string& part)
{
	int n = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
		n++;
	return n;
}

TEST(Runtime, LoopStartsAgainAtItsStartInRealTime)
{
	// Beat 1 lies at 0.762875 s, beat 2 at 1.39775 s. Played until the
	// fourth start, so that three runs are whole.
	std::string dir = tmpdir();
	live_run_c run(dir, RUNTIME_DEMO " --loop 1 2 --skip 0.5");
	std::string line, seen;
	std::vector<frame_s> frames;
	frame_s f;
	int begun = 0;
	while (begun < 4 && run.line(&line, 20.0)) {
		if (parse_frame(line, &f)) {
			begun += f.n == 0;
			frames.push_back(f);
		} else {
			seen += line + "\n";
		}
	}
	run.stop();
	std::vector<std::vector<frame_s>> runs = starts(frames);
	ASSERT_EQ(runs.size(), 4u) << seen;
	EXPECT_EQ(count(seen, "loop end 2.00 reached, starting again at beat 1.00\n"), 3);
	// A --skip outside the loop gives way to a seek to its start, in the
	// first run too; each later run seeks there, and the starts do not pile up.
	EXPECT_EQ(count(seen, "skipping time to 0.50\n"), 1);
	EXPECT_EQ(count(seen, "seeking to 0.76\n"), 1);
	EXPECT_EQ(count(seen, "seeked to 0.78 s in"), 4);

	for (size_t i = 0; i + 1 < runs.size(); i++) {
		const std::vector<frame_s>& f = runs[i];
		ASSERT_GE(f.size(), 10u);
		// Frames come slowly on a busy machine: only bounds that hold there.
		double start = 0.762875;
		EXPECT_GE(f[1].t, start);
		EXPECT_LT(f[1].t, start + 0.5);
		// It ran up to the loop's end and no further.
		EXPECT_GT(f.back().b, 1.5);
		for (const frame_s& x : f)
			EXPECT_LT(x.b, 2.0);
	}
}

TEST(Runtime, WatchKeepsPlayingThroughABadEditAndStartsAgainOnAGoodOne)
{
	std::string dir = tmpdir();
	write_file(dir + "/ev.txt", "'ev47' 40\n");
	live_run_c run(dir, RUNTIME_DEMO " --events ev.txt --watch");
	std::string line, seen;
	int state = 0;  // 0 playing, 1 bad file written, 2 bad file refused, 3 good file written, 4 started again
	long last_frame = -1;
	double restart_at = 0.0, refused_at = 0.0, last_beat = 0.0;
	bool fired_after = false;
	while (!fired_after && run.line(&line, 15.0)) {
		seen += line + "\n";
		frame_s f;
		bool frame = parse_frame(line, &f);
		if (frame && state < 4) {
			// Until the good edit, the one run goes on.
			ASSERT_EQ(f.n, last_frame + 1) << seen;
			last_frame = f.n;
			ASSERT_FALSE(has(f.fired, "ev47"));
		}
		if (state == 0 && frame && f.t > 0.4) {
			write_file(dir + "/ev.txt", "'ev47' soon\n");
			state = 1;
		} else if (state == 1 && line == "keeping the positions in use until ev.txt is mended") {
			ASSERT_TRUE(has(seen, "ev.txt:1: position 'soon' is not a number\n")) << seen;
			refused_at = run.seconds();
			state = 2;
		} else if (state == 2 && frame && run.seconds() > refused_at + 0.5) {
			// It played on for a while with the positions it had.
			write_file(dir + "/ev.txt", "'ev47' 3\n");
			state = 3;
		} else if (state == 3 && sscanf(line.c_str(), "ev.txt changed, starting again at %lf s", &restart_at) == 1) {
			state = 4;
		} else if (state == 4 && frame && f.n == 1) {
			EXPECT_GE(f.t, restart_at);
			EXPECT_LT(f.t, restart_at + 0.5);
		}
		if (state == 4 && frame && has(f.fired, "ev47")) {
			// In the new run's first frame at or past it.
			EXPECT_GE(f.b, 3.0);
			EXPECT_LT(last_beat, 3.0);
			fired_after = true;
		}
		if (state == 4 && frame)
			last_beat = f.b;
	}
	EXPECT_TRUE(fired_after) << "state " << state << "\n" << seen;
	EXPECT_EQ(count(seen, "starting again"), 1) << seen;
}

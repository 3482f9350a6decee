// Runs the small runtime demo as a whole program and checks its clock,
// events, messages and written frames.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

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
	while (std::getline(lines, line)) {
		frame_s f;
		char fired[256] = "";
		if (sscanf(line.c_str(), "frame %ld t %lf b %lf fs %d fired%255[^\n]", &f.n, &f.t, &f.b, &f.fs, fired) >= 4) {
			f.fired = fired;
			r.frames.push_back(f);
		}
	}
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

TEST(Runtime, SkipFiresEverythingBeforeItInFrameOne)
{
	std::string dir = tmpdir();
	run_s r = run("--capture " + dir + " --skip 30 --from 30 --to 30.5 --size 160x90");
	ASSERT_EQ(r.status, 0) << r.err;
	EXPECT_TRUE(has(r.err, "skipping time to 30.00\n"));
	ASSERT_GE(r.frames.size(), 3u);
	EXPECT_EQ(r.frames[0].fired, " ev0");
	EXPECT_NEAR(r.frames[1].t, 30.02, 1e-5);
	EXPECT_NEAR(r.frames[1].b, 47.08, 0.01);
	EXPECT_EQ(r.frames[1].fired, " ev10 ev47");
	for (const frame_s& f : r.frames)
		if (f.b >= 48.0) {
			EXPECT_EQ(f.fired, " ev48");
			break;
		}
	// Output frames start at the skip time: 30.00 to 30.50 s.
	FILE* first = fopen((dir + "/000000.png").c_str(), "rb");
	FILE* last = fopen((dir + "/000025.png").c_str(), "rb");
	FILE* after = fopen((dir + "/000026.png").c_str(), "rb");
	EXPECT_NE(first, nullptr);
	EXPECT_NE(last, nullptr);
	EXPECT_EQ(after, nullptr);
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
	run_s r = run("--fps 0");
	EXPECT_EQ(r.status, 2);
	EXPECT_EQ(r.err, "--fps: '0' is not a frame rate such as 50 or 60000/1001\n");
	EXPECT_TRUE(r.frames.empty());
}

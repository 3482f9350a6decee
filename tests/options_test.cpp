#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "main.h"
#include "options.h"
#include "reset_options.h"
#include "retime.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Parses a command line; returns what it printed.
static std::string parse(std::vector<std::string> args, bool* ok = NULL)
{
	reset_options();
	// The options keep pointers into the command line, as into argv.
	static std::vector<std::string> kept;
	kept = args;
	std::vector<char*> argv;
	static std::string prog = "quintaro";
	argv.push_back(&prog[0]);
	for (std::string& a : kept)
		argv.push_back(&a[0]);
	CaptureStderr();
	bool result = parse_options((int)argv.size(), argv.data());
	if (ok)
		*ok = result;
	return GetCapturedStderr();
}

TEST(Options, NoArgumentsKeepTheDefaults)
{
	bool ok;
	EXPECT_EQ(parse({}, &ok), "");
	EXPECT_TRUE(ok);
	EXPECT_EQ(config_width, 854);
	EXPECT_EQ(config_height, 480);
	EXPECT_EQ(config_otherflags & 1, 1);
	EXPECT_EQ(timeval_skip, 0.0f);
	EXPECT_FALSE(capture_clock());
}

TEST(Options, SizesCombineAndTheLastWins)
{
	EXPECT_EQ(parse({ "--fs", "--720p" }), "fs!\nhalf-hd!\n");
	EXPECT_EQ(config_videoflags, (int)SDL_FULLSCREEN);
	EXPECT_EQ(config_width, 1280);
	EXPECT_EQ(config_height, 720);

	EXPECT_EQ(parse({ "--fullhd", "--720p" }), "fullhd!\nhalf-hd!\n");
	EXPECT_EQ(config_width, 1280);
	EXPECT_EQ(parse({ "--720p", "--fullhd" }), "half-hd!\nfullhd!\n");
	EXPECT_EQ(config_width, 1920);
	EXPECT_EQ(config_height, 1080);

	EXPECT_EQ(parse({ "--size", "640x360", "--bogus" }), "ignoring unknown option '--bogus'\n");
	EXPECT_EQ(config_width, 640);
	EXPECT_EQ(config_height, 360);
}

TEST(Options, SkipTakesTheNextArgumentWhateverItIs)
{
	EXPECT_EQ(parse({ "--skip", "30", "--nomusic" }), "skipping time to 30.00\nno music!\n");
	EXPECT_EQ(timeval_skip, 30.0f);
	EXPECT_EQ(config_otherflags & 1, 0);
	EXPECT_TRUE(debugmode);

	EXPECT_EQ(parse({ "--skip", "12.5abc" }), "skipping time to 12.50\n");
	EXPECT_EQ(timeval_skip, 12.5f);

	// "--fs" is the value here, not an option.
	parse({ "--skip", "--fs" });
	EXPECT_EQ(config_videoflags, 0);
	EXPECT_EQ(timeval_skip, 0.0f);

	bool ok;
	EXPECT_EQ(parse({ "--skip" }, &ok), "");
	EXPECT_TRUE(ok);
	EXPECT_TRUE(debugmode);
	EXPECT_EQ(timeval_skip, 0.0f);
}

TEST(Options, SkipRejectsWhatIsNotAFiniteNumber)
{
	for (const char* bad : { "abc", "nan", "inf", "-inf", "" }) {
		bool ok;
		std::string out = parse({ "--skip", bad }, &ok);
		EXPECT_TRUE(ok);
		EXPECT_EQ(out, std::string("--skip: '") + bad + "' is not a number of seconds, not skipping\n");
		EXPECT_EQ(timeval_skip, 0.0f) << bad;
	}
}

TEST(Options, TheEdgesOfTheBoundsAreAccepted)
{
	bool ok;
	EXPECT_EQ(parse({ "--skip", "86400", "--from", "86400", "--to", "86400" }, &ok), "skipping time to 86400.00\n");
	EXPECT_TRUE(ok);
	EXPECT_EQ(timeval_skip, 86400.0f);
	EXPECT_EQ(capture_options.to, 86400.0);
	EXPECT_EQ(parse({ "--skip", "0", "--capture", "-frames" }, &ok), "skipping time to 0.00\n");
	EXPECT_TRUE(ok);
	EXPECT_STREQ(capture_options.path, "-frames");
}

TEST(Options, UnknownArgumentsAreIgnoredAloud)
{
	bool ok;
	EXPECT_EQ(parse({ "--skp", "100", "--fps=25", "--nomusic" }, &ok),
		"ignoring unknown option '--skp'\nignoring unknown option '100'\n"
		"ignoring unknown option '--fps=25'\nno music!\n");
	EXPECT_TRUE(ok);
	EXPECT_EQ(timeval_skip, 0.0f);
	EXPECT_EQ(capture_options.fps_num, 50);
	EXPECT_EQ(config_otherflags & 1, 0);
	// Known options print only their own lines.
	EXPECT_EQ(parse({ "--fs", "--fullhd", "--bench", "--blur", "2", "--version", "--data", "d" }), "fs!\nfullhd!\n");
	EXPECT_TRUE(version_option);
	EXPECT_STREQ(data_option, "d");
}

TEST(Options, CaptureOptions)
{
	bool ok;
	parse({ "--capture", "out.mp4", "--fps", "60000/1001", "--blur", "4", "--from", "10", "--to", "20.5" }, &ok);
	ASSERT_TRUE(ok);
	EXPECT_TRUE(capture_options.capture);
	EXPECT_STREQ(capture_options.path, "out.mp4");
	EXPECT_EQ(capture_options.fps_num, 60000);
	EXPECT_EQ(capture_options.fps_den, 1001);
	EXPECT_EQ(capture_options.blur, 4);
	EXPECT_EQ(capture_options.from, 10.0);
	EXPECT_EQ(capture_options.to, 20.5);

	parse({ "--bench" }, &ok);
	EXPECT_TRUE(ok);
	EXPECT_TRUE(capture_clock());
	EXPECT_FALSE(capture_options.capture);
	EXPECT_EQ(capture_options.to, 225.0);
}

TEST(Options, BadCaptureValuesStopWithOneLine)
{
	struct {
		std::vector<std::string> args;
		const char* message;
	} cases[] = {
		{ { "--fps", "0" }, "--fps: '0' is not a frame rate from one a day to 1000 a second, such as 50 or 60000/1001\n" },
		{ { "--fps", "1/1000000000" }, "--fps: '1/1000000000' is not a frame rate from one a day to 1000 a second, such as 50 or 60000/1001\n" },
		{ { "--blur", "5" }, "--blur: '5' is not a whole number from 1 to 4\n" },
		{ { "--blur", "two" }, "--blur: 'two' is not a whole number from 1 to 4\n" },
		{ { "--from", "nan" }, "--from: 'nan' is not a number of seconds\n" },
		{ { "--to", "-3" }, "--to: '-3' is not a number of seconds\n" },
		{ { "--size", "100" }, "--size: '100' is not a window size such as 1280x720\n" },
		{ { "--size", "99999x10" }, "--size: '99999x10' is not a window size such as 1280x720\n" },
		{ { "--capture" }, "--capture: a value must follow\n" },
		{ { "--from", "30", "--to", "10" }, "--to 10.000 lies before --from 30.000\n" },
		// Bounds: a day at most, and a float that stays finite.
		{ { "--bench", "--to", "1e9" }, "--to: '1e9' lies past a day (86400 s), too long for a recording\n" },
		{ { "--to", "1e300" }, "--to: '1e300' lies past a day (86400 s), too long for a recording\n" },
		{ { "--from", "86400.5" }, "--from: '86400.5' lies past a day (86400 s), too long for a recording\n" },
		{ { "--skip", "1e30" }, "--skip: '1e30' is not a time from 0 to 86400 s (a day)\n" },
		{ { "--skip", "1e39" }, "--skip: '1e39' is not a time from 0 to 86400 s (a day)\n" },
		{ { "--skip", "-5" }, "--skip: '-5' is not a time from 0 to 86400 s (a day)\n" },
		{ { "--seek", "3600.5" }, "--seek: '3600.5' is not a time from 0 to 3600 s (an hour)\n" },
		{ { "--seek", "-1" }, "--seek: '-1' is not a time from 0 to 3600 s (an hour)\n" },
		{ { "--seek", "12abc" }, "--seek: '12abc' is not a time from 0 to 3600 s (an hour)\n" },
		{ { "--seek", "30", "--skip", "20" }, "skipping time to 20.00\n--seek and --skip both give a start time: use one\n" },
		// A value that is an option is a forgotten value.
		{ { "--capture", "--bench", "--to", "1" }, "--capture: a value must follow, not the option '--bench'\n" },
		{ { "--fps", "--size", "320x200" }, "--fps: a value must follow, not the option '--size'\n" },
		{ { "--to", "--nomusic" }, "--to: a value must follow, not the option '--nomusic'\n" },
		{ { "--capture", "" }, "--capture: the path is empty\n" },
		{ { "--data", "" }, "--data: the folder name is empty\n" },
		{ { "--data", "--fs" }, "--data: a value must follow, not the option '--fs'\n" },
	};
	for (auto& c : cases) {
		bool ok = true;
		EXPECT_EQ(parse(c.args, &ok), c.message);
		EXPECT_FALSE(ok) << c.message;
	}
}

TEST(Options, RetimingOptions)
{
	bool ok;
	EXPECT_EQ(parse({ "--events", "my.txt", "--watch", "--loop", "162", "170.5", "--dump-events", "--nomusic" }, &ok),
		"no music!\n");
	ASSERT_TRUE(ok);
	EXPECT_STREQ(retime_options.events_path, "my.txt");
	EXPECT_TRUE(retime_options.watch);
	EXPECT_TRUE(retime_options.loop);
	EXPECT_EQ(retime_options.loop_from, 162.0f);
	EXPECT_EQ(retime_options.loop_to, 170.5f);
	EXPECT_TRUE(retime_options.dump);
	EXPECT_FALSE(capture_clock());

	// A recording may read and dump events.
	parse({ "--bench", "--dump-events", "--events", "e.txt" }, &ok);
	EXPECT_TRUE(ok);
	EXPECT_TRUE(retime_options.dump);
	EXPECT_FALSE(retime_options.watch);
	EXPECT_FALSE(retime_options.loop);
}

TEST(Options, BadRetimingStopsWithOneLine)
{
	const char* loop_msg = "--loop: two beat-grid positions A B must follow, A before B, from -1 to 100000\n";
	struct {
		std::vector<std::string> args;
		const char* message;
	} cases[] = {
		{ { "--events" }, "--events: a file name must follow\n" },
		{ { "--events", "--watch" }, "--events: a file name must follow\n" },
		{ { "--events", "" }, "--events: a file name must follow\n" },
		{ { "--watch" }, "--watch: there is no --events file to watch\n" },
		{ { "--events", "e", "--watch", "--bench" }, "--watch works in real time only, not with --capture or --bench\n" },
		{ { "--loop", "1", "2", "--capture", "f" }, "--loop works in real time only, not with --capture or --bench\n" },
		{ { "--loop", "170", "162" }, loop_msg },
		{ { "--loop", "5", "5" }, loop_msg },
		{ { "--loop", "5" }, loop_msg },
		{ { "--loop", "1", "nan" }, loop_msg },
		{ { "--loop", "x", "9" }, loop_msg },
		{ { "--loop", "-2", "9" }, loop_msg },
		{ { "--loop", "1", "100001" }, loop_msg },
	};
	for (auto& c : cases) {
		bool ok = true;
		EXPECT_EQ(parse(c.args, &ok), c.message);
		EXPECT_FALSE(ok) << c.message;
	}
}

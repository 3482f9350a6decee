#include <gtest/gtest.h>
#include <math.h>

#include "capture.h"
#include "clock.h"
#include "main.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

static void demo_beat_grid()
{
	beat_first = 0.128f;
	beat_last = 5.207f;
	beat_lastnum = 8.0f;
}

TEST(BeatGrid, MapsSecondsOntoTheMusicsGrid)
{
	demo_beat_grid();
	EXPECT_NEAR(beatgrid_calc(0.128f), 0.0f, 1e-6);
	EXPECT_NEAR(beatgrid_calc(5.207f), 8.0f, 1e-5);
	EXPECT_NEAR(beatgrid_calc(0.0f), -0.2016f, 1e-4);
	EXPECT_NEAR(beatgrid_calc(30.02f), 47.08f, 0.01);
	EXPECT_NEAR(beatgrid_calc(0.128f + 0.634875f * 137.0f), 137.0f, 1e-3);
}

TEST(FramePacing, QuarterLongerPeriodsGiveTheAccumulatorPattern)
{
	float acc = 0.0f;
	const int expected[8] = { 2, 1, 1, 2, 1, 1, 1, 2 };
	for (int i = 0; i < 8; i++) {
		EXPECT_EQ(frameskip_advance(&acc, 0.025f), expected[i]) << "frame " << i;
		EXPECT_GT(acc, -0.02f);
		EXPECT_LE(acc, 0.0f);
	}
}

TEST(FramePacing, LongPeriodsAndStalls)
{
	float acc = 0.0f;
	EXPECT_EQ(frameskip_advance(&acc, 0.05f), 3);
	EXPECT_NEAR(acc, -0.01f, 1e-6);

	acc = 0.0f;
	int steps = frameskip_advance(&acc, 2.0f);
	EXPECT_GE(steps, 100);
	EXPECT_LE(steps, 101);
	// A stall of weeks counts as a day, whose steps a float still counts
	// (in steps of its own rounding).
	acc = 0.0f;
	steps = frameskip_advance(&acc, 3e6f);
	EXPECT_NEAR(steps, 86400 / 0.02, 86400 / 0.02 * 0.2);

	// Total logic time never lags the frame time and leads by under a step.
	acc = 0.0f;
	double frames = 0.0, logic = 0.0;
	for (int i = 0; i < 5000; i++) {
		float period = 0.02f + 0.013f * (float)((i * 7919) % 11) / 11.0f;
		frames += period;
		logic += 0.02 * frameskip_advance(&acc, period);
		ASSERT_GE(logic + 1e-3, frames);
		ASSERT_LT(logic, frames + 0.02 + 1e-3);
	}
}

TEST(Statistics, LineShowsRatesCountsTimeAndBeat)
{
	CaptureStderr();
	print_stats(100, 110, 12.345f, 17.6f);
	EXPECT_EQ(GetCapturedStderr(), "fps: 50.00 (100) logic: 55.00 (110) time: 12.35 beat: 18\n");
	CaptureStderr();
	print_stats(0, 0, 0.0f, 0.0f);
	EXPECT_EQ(GetCapturedStderr(), "fps: 0.00 (0) logic: 0.00 (0) time: 0.00 beat:  0\n");
}

TEST(Statistics, ResizeIsReportedOnceAfterItsTime)
{
	screenmode_changetime = 12.1f;
	screenmode_needschange = true;
	timeval = 12.05f;
	CaptureStderr();
	sync_dispatcher();
	timeval = 12.11f;
	sync_dispatcher();
	timeval = 12.2f;
	sync_dispatcher();
	EXPECT_EQ(GetCapturedStderr(), "now changing mode.\n");
}

TEST(CaptureClock, FrameRatesParse)
{
	int64_t n = 0, d = 0;
	EXPECT_TRUE(parse_fps("50", &n, &d));
	EXPECT_EQ(n, 50);
	EXPECT_EQ(d, 1);
	EXPECT_TRUE(parse_fps("60000/1001", &n, &d));
	EXPECT_EQ(n, 60000);
	EXPECT_EQ(d, 1001);
	for (const char* bad : { "", "0", "-5", "abc", "50x", "60/0", "60/", "5000", "1e3" })
		EXPECT_FALSE(parse_fps(bad, &n, &d)) << bad;
}

// Frame n of a 225 s capture lies at n / fps to float precision, at any rate.
TEST(CaptureClock, FrameTimesDoNotDrift)
{
	const int64_t rates[3][2] = { { 50, 1 }, { 60, 1 }, { 60000, 1001 } };
	timeval_skip = 0.0f;
	for (auto& r : rates) {
		capture_options.fps_num = r[0];
		capture_options.fps_den = r[1];
		for (int blur = 1; blur <= 4; blur *= 2) {
			capture_options.blur = blur;
			int64_t last = (int64_t)(225.0 * r[0] / r[1]) * blur;
			for (int64_t i = 1; i <= last; i += 1 + last / 5000) {
				double exact = (double)i * r[1] / ((double)r[0] * blur);
				float t = (float)capture_frame_time(i);
				ASSERT_LE(fabs(t - exact), fabs(exact) * 1.2e-7) << "frame " << i;
			}
			double end = (double)last * r[1] / ((double)r[0] * blur);
			EXPECT_GT(end, 225.0 - 1.0 / 50);
			EXPECT_NEAR((float)capture_frame_time(last), end, end * 1.2e-7);
		}
	}
	capture_options.fps_num = 50;
	capture_options.fps_den = 1;
	capture_options.blur = 1;
}

TEST(CaptureClock, FiftyFramesGiveOneStepEachSixtyTheAccumulatorPattern)
{
	capture_options.fps_num = 50;
	capture_options.fps_den = 1;
	capture_options.blur = 1;
	float acc = 0.0f;
	for (int i = 0; i < 11250; i++)
		ASSERT_EQ(frameskip_advance(&acc, capture_frame_period()), 1) << "frame " << i;

	capture_options.fps_num = 60;
	acc = 0.0f;
	int steps = 0, zeros = 0;
	for (int i = 0; i < 600; i++) {
		int s = frameskip_advance(&acc, capture_frame_period());
		ASSERT_LE(s, 1);
		zeros += s == 0;
		steps += s;
	}
	// Ten seconds at 60 frames per second are 500 logic steps.
	EXPECT_NEAR(steps, 500, 1);
	EXPECT_NEAR(zeros, 100, 1);
	capture_options.fps_num = 50;
}

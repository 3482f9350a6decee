#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <fstream>
#include <sstream>

#include "sync.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

TEST(Sync, FirstConstructionFixesTheTimeAndPrintsOnce)
{
	beatgrid = 0.0f;
	CaptureStderr();
	sync_c a("sync_first", 12.5f, 0);
	sync_c b("sync_first", 99.0f, 0);
	EXPECT_EQ(GetCapturedStderr(), "adding event 'sync_first' at time 12.50, spawn 0\n");
	EXPECT_EQ(a.myevent, b.myevent);
	EXPECT_FLOAT_EQ(b.beatnum(), 12.5f);
}

TEST(Sync, SpawnModeIsRelativeToTheCurrentBeat)
{
	beatgrid = 10.5f;
	CaptureStderr();
	sync_c e("sync_spawn", 2.0f, 1);
	EXPECT_EQ(GetCapturedStderr(), "adding event 'sync_spawn' at time 2.00, spawn 1\n");
	EXPECT_FLOAT_EQ(e.beatnum(), 12.5f);
}

TEST(Sync, PastAtEqualityNotBelow)
{
	sync_c e("sync_past", 20.0f, 0);
	beatgrid = 19.999f;
	EXPECT_FALSE(e.past());
	beatgrid = 20.0f;
	EXPECT_TRUE(e.past());
	beatgrid = 25.0f;
	EXPECT_TRUE(e.past());
}

TEST(Sync, OnceFiresForOneFrameOnlyThroughEveryHandle)
{
	beatgrid = 0.0f;
	sync_c a("sync_once", 5.0f, 0);
	EXPECT_FALSE(a.once());
	sync_ack();

	beatgrid = 5.01f;
	CaptureStderr();
	EXPECT_TRUE(a.once());
	EXPECT_TRUE(sync_c("sync_once", 0, 0).once());
	EXPECT_EQ(GetCapturedStderr(),
		"event 'sync_once' happened! 5.01\nevent 'sync_once' happened! 5.01\n");
	sync_ack();

	beatgrid = 6.0f;
	EXPECT_FALSE(a.once());
	EXPECT_TRUE(a.past());
	sync_ack();
	EXPECT_FALSE(a.once());
}

TEST(Sync, EventAlreadyPassedFiresAtFirstPoll)
{
	beatgrid = 100.0f;
	sync_c late("sync_late", 3.0f, 0);
	EXPECT_TRUE(late.once());
	sync_ack();
	EXPECT_FALSE(late.once());
}

TEST(Sync, SaveWritesEveryEventSortedAndAcknowledges)
{
	char dir[] = "/tmp/qvdsyncXXXXXX";
	ASSERT_TRUE(mkdtemp(dir));
	char old[4096];
	ASSERT_TRUE(getcwd(old, sizeof(old)));
	ASSERT_EQ(chdir(dir), 0);

	beatgrid = 0.0f;
	sync_c z("zz_save", 137.0f, 0);
	sync_c a("aa_save", 0.25f, 0);
	beatgrid = 1.0f;
	EXPECT_TRUE(a.once());
	sync_save();
	EXPECT_FALSE(a.once());  // the dump acknowledged it

	std::ifstream in("eventsdump.txt");
	std::stringstream text;
	text << in.rdbuf();
	std::string s = text.str();
	size_t pa = s.find("'aa_save' 0.25000\n");
	size_t pz = s.find("'zz_save' 137.00000\n");
	ASSERT_NE(pa, std::string::npos);
	ASSERT_NE(pz, std::string::npos);
	EXPECT_LT(pa, pz);
	EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), (long)events.size());

	// An unwritable dump is reported and leaves nothing behind.
	ASSERT_EQ(unlink("eventsdump.txt"), 0);
	ASSERT_EQ(mkdir("eventsdump.txt", 0755), 0);
	CaptureStderr();
	sync_save();
	EXPECT_EQ(GetCapturedStderr(), "can't write eventsdump.txt\n");
	rmdir("eventsdump.txt");
	ASSERT_EQ(chdir(old), 0);
	rmdir(dir);
}

TEST(Sync, RepeatedConstructionFindsByNameWithoutCopying)
{
	sync_c first("a_rather_long_event_name_beyond_small_strings", 1.0f, 0);
	size_t n = events.size();
	for (int i = 0; i < 100; i++) {
		sync_c again("a_rather_long_event_name_beyond_small_strings", 2.0f, 0);
		ASSERT_EQ(again.myevent, first.myevent);
	}
	EXPECT_EQ(events.size(), n);
}

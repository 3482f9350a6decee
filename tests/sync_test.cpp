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

// The dump's file name is fixed: each test that writes it works in a fresh
// folder of its own.
class fresh_folder_c {
public:
	fresh_folder_c()
	{
		char tmpl[] = "/tmp/qvdsyncXXXXXX";
		dir = mkdtemp(tmpl);
		if (!getcwd(old, sizeof(old)) || chdir(dir.c_str()) != 0)
			ADD_FAILURE() << "can't work in " << dir;
	}
	~fresh_folder_c()
	{
		unlink("eventsdump.txt");
		rmdir("eventsdump.txt");
		if (chdir(old) != 0)
			ADD_FAILURE() << "can't go back to " << old;
		rmdir(dir.c_str());
	}

private:
	std::string dir;
	char old[4096];
};

static std::string dump_text()
{
	std::ifstream in("eventsdump.txt");
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

static size_t used_events()
{
	size_t n = 0;
	for (const event_map::value_type& e : events)
		n += e.second.used;
	return n;
}

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
	fresh_folder_c folder;
	beatgrid = 0.0f;
	sync_c z("zz_save", 137.0f, 0);
	sync_c a("aa_save", 0.25f, 0);
	beatgrid = 1.0f;
	EXPECT_TRUE(a.once());
	sync_save();
	EXPECT_FALSE(a.once());  // the dump acknowledged it

	std::string s = dump_text();
	size_t pa = s.find("'aa_save' 0.25000\n");
	size_t pz = s.find("'zz_save' 137.00000\n");
	ASSERT_NE(pa, std::string::npos);
	ASSERT_NE(pz, std::string::npos);
	EXPECT_LT(pa, pz);
	EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), (long)used_events());

	// An unwritable dump is reported and leaves nothing behind; a FIFO
	// that no one reads does not hold the run.
	ASSERT_EQ(unlink("eventsdump.txt"), 0);
	ASSERT_EQ(mkdir("eventsdump.txt", 0755), 0);
	CaptureStderr();
	sync_save();
	EXPECT_EQ(GetCapturedStderr(), "can't write eventsdump.txt: not a regular file\n");
	ASSERT_EQ(rmdir("eventsdump.txt"), 0);
	ASSERT_EQ(mkfifo("eventsdump.txt", 0600), 0);
	CaptureStderr();
	sync_save();
	EXPECT_EQ(GetCapturedStderr(), "can't write eventsdump.txt: not a regular file\n");
	unlink("eventsdump.txt");
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

static int load(const std::string& text, std::vector<event_position>* out, std::string* what)
{
	return sync_load(text.data(), text.size(), out, what);
}

TEST(SyncLoad, ReadsWhatTheDumpWritesAndSkipsBlankAndCommentLines)
{
	std::vector<event_position> got;
	std::string what;
	std::string text =
		"\xef\xbb\xbf# retimed credits\n"
		"'stoptunnel' 150.00000\n"
		"\n"
		"   \t\n"
		"  # moved by hand\n"
		"'phonefly4-2'\t34.5\r\n"
		"  'two words'   -0.25  \n"
		"'last' 1e2";
	ASSERT_EQ(load(text, &got, &what), 0) << what;
	ASSERT_EQ(got.size(), 4u);
	EXPECT_EQ(got[0].name, "stoptunnel");
	EXPECT_EQ(got[0].beatnum, 150.0f);
	EXPECT_EQ(got[1].name, "phonefly4-2");
	EXPECT_EQ(got[1].beatnum, 34.5f);
	EXPECT_EQ(got[2].name, "two words");
	EXPECT_EQ(got[2].beatnum, -0.25f);
	EXPECT_EQ(got[3].name, "last");
	EXPECT_EQ(got[3].beatnum, 100.0f);

	EXPECT_EQ(load("", &got, &what), 0);
	EXPECT_TRUE(got.empty());
}

TEST(SyncLoad, BadLinesNameTheirNumberAndWhatIsWrong)
{
	struct {
		const char* text;
		int line;
		const char* what;
	} cases[] = {
		{ "'a' 1\n\n# c\nb 2\n", 4, "expected 'name' position" },
		{ "'a' 1\n'b 2\n", 2, "the name has no closing quote" },
		{ "'' 2\n", 1, "empty name" },
		{ "'a'2\n", 1, "a blank must follow the name" },
		{ "'a'\n", 1, "a blank must follow the name" },
		{ "'a'   \n", 1, "no position after the name" },
		{ "'a' 2 3\n", 1, "text after the position" },
		{ "'a' 2beats\n", 1, "position '2beats' is not a number" },
		{ "'a' x\n", 1, "position 'x' is not a number" },
		{ "'a' 1\n'b' nan\n", 2, "position 'nan' is not a finite number" },
		{ "'a' -inf\n", 1, "position '-inf' is not a finite number" },
		{ "'a' 1e300\n", 1, "position '1e300' lies beyond 100000" },
		{ "'a' 100001\n", 1, "position '100001' lies beyond 100000" },
		{ "'a' 1\n'b' 2\n'a' 3\n", 3, "'a' given twice (first on line 1)" },
		{ "'a' 1\r'b' 2\n", 1, "control character in the line" },
		{ "'a\033' 1\n", 1, "control character in the line" },
	};
	for (auto& c : cases) {
		std::vector<event_position> got;
		std::string what;
		EXPECT_EQ(load(c.text, &got, &what), c.line) << c.text;
		EXPECT_EQ(what, c.what) << c.text;
		EXPECT_TRUE(got.empty()) << c.text;
	}
	// A NUL byte inside the buffer is not the end of the text.
	std::vector<event_position> got;
	std::string what;
	EXPECT_EQ(load(std::string("'a' 1\n'b\0c' 2\n", 14), &got, &what), 2);
	EXPECT_EQ(what, "control character in the line");

	std::string long_name = "'" + std::string(201, 'n') + "' 1\n";
	EXPECT_EQ(load(long_name, &got, &what), 1);
	EXPECT_EQ(what, "name longer than 200 bytes");
}

TEST(SyncLoad, PresetPositionsWinOverTheCodeAndUnusedOnesAreKnown)
{
	std::vector<event_position> list = { { "preset_moved", 150.0f }, { "preset_typo", 3.0f } };
	sync_preset(list);
	std::vector<std::string> unused = sync_unused();
	EXPECT_EQ(std::count(unused.begin(), unused.end(), "preset_moved"), 1);

	// The code's first creation finds the file's position and says so once.
	CaptureStderr();
	sync_c a("preset_moved", 160.0f, 0);
	sync_c b("preset_moved", 170.0f, 0);
	EXPECT_EQ(GetCapturedStderr(),
		"event 'preset_moved' at time 150.00 from the events file (the demo says 160.00)\n");
	EXPECT_EQ(a.beatnum(), 150.0f);
	EXPECT_EQ(b.myevent, a.myevent);

	beatgrid = 149.99f;
	EXPECT_FALSE(a.once());
	sync_ack();
	beatgrid = 150.0f;
	EXPECT_TRUE(a.once());
	sync_ack();

	unused = sync_unused();
	EXPECT_EQ(std::count(unused.begin(), unused.end(), "preset_moved"), 0);
	EXPECT_EQ(std::count(unused.begin(), unused.end(), "preset_typo"), 1);
}

TEST(SyncLoad, TheDumpReadsBackAndLeavesOutNamesTheCodeNeverAsked)
{
	fresh_folder_c folder;
	sync_preset({ { "dump_unasked", 7.0f } });
	sync_c odd("dump_odd", 232.5f, 0);
	sync_c tiny("dump_tiny", 0.333333f, 0);
	sync_save();
	std::string s = dump_text();
	EXPECT_EQ(s.find("dump_unasked"), std::string::npos);
	EXPECT_NE(s.find("'dump_odd' 232.50000\n"), std::string::npos);
	EXPECT_NE(s.find("'dump_tiny' 0.33333\n"), std::string::npos);

	std::vector<event_position> back;
	std::string what;
	ASSERT_EQ(sync_load(s.data(), s.size(), &back, &what), 0) << what;
	ASSERT_EQ(back.size(), used_events());
	for (size_t i = 0; i < back.size(); i++) {
		if (i) {
			EXPECT_LT(back[i - 1].name, back[i].name);
		}
		ASSERT_TRUE(events.count(back[i].name));
		EXPECT_NEAR(back[i].beatnum, events.find(back[i].name)->second.beatnum, 0.000005f);
	}
}

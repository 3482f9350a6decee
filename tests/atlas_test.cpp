#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "keep.h"
#include "texture.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Writes "<dir>/<name>.txt" with the text and returns the image path.
static std::string atlas(const std::string& name, const std::string& text)
{
	static std::string dir;
	if (dir.empty()) {
		char tmpl[] = "/tmp/qvdatlasXXXXXX";
		dir = mkdtemp(tmpl);
	}
	std::string image = dir + "/" + name;
	FILE* f = fopen((image + ".txt").c_str(), "wb");
	EXPECT_NE(f, nullptr) << image;
	if (!f)
		return image;
	fwrite(text.data(), 1, text.size(), f);
	fclose(f);
	return image;
}

static texture_c& read(const std::string& image, std::string* out = NULL)
{
	texture_c& t = keep(new texture_c());
	CaptureStderr();
	t.checksubtex(image.c_str());
	std::string s = GetCapturedStderr();
	if (out)
		*out = s;
	return t;
}

TEST(Atlas, OneEntryByIndexAndByName)
{
	std::string msg;
	texture_c& t = read(atlas("one.png", "a 10 20 30 40\n"), &msg);
	EXPECT_EQ(msg, "1 texes\n");
	ASSERT_EQ(t.subtexnum, 1);
	EXPECT_EQ(t.getsubtex(0), glm::vec4(10, 20, 40, 60));
	CaptureStderr();
	EXPECT_EQ(t.getsubtex("a"), glm::vec4(10, 20, 40, 60));
	EXPECT_EQ(GetCapturedStderr(), "found subtex 'a' at pos 0. 10.00 20.00 40.00 60.00\n");
}

TEST(Atlas, MissingFileAndLastLineWithoutLineEnd)
{
	std::string msg;
	texture_c& none = read("/tmp/no/such/picture.png", &msg);
	EXPECT_EQ(msg, "no subtexes\n");
	EXPECT_EQ(none.subtexnum, 0);

	texture_c& t = read(atlas("cut.png", "a 1 2 3 4\nb 5 6 7 8"));
	EXPECT_EQ(t.subtexnum, 1);
	EXPECT_STREQ(t.subtexdata[0], "a 1 2 3 4");

	texture_c& empty = read(atlas("empty.png", ""), &msg);
	EXPECT_EQ(msg, "0 texes\n");
	EXPECT_EQ(empty.subtexnum, 0);
}

TEST(Atlas, LookupsThatFindNothing)
{
	texture_c& t = read(atlas("odd.png", "ab 1 1 1 1\na 2 2 2 2\nnoblank\nname \n"));
	ASSERT_EQ(t.subtexnum, 4);

	// Prefix match: "a" finds "ab" and reads from the "b" on, so nothing.
	CaptureStderr();
	EXPECT_EQ(t.getsubtex("a"), glm::vec4(0.0f));
	EXPECT_EQ(GetCapturedStderr(), "found subtex 'a' at pos 0. 0.00 0.00 0.00 0.00\n");

	CaptureStderr();
	EXPECT_EQ(t.getsubtex(4), glm::vec4(0.0f));
	EXPECT_EQ(t.getsubtex(-1), glm::vec4(0.0f));
	EXPECT_EQ(t.getsubtex(2), glm::vec4(0.0f));
	EXPECT_EQ(t.getsubtex(3), glm::vec4(0.0f));
	EXPECT_EQ(t.getsubtex("zzz"), glm::vec4(0.0f));
	EXPECT_EQ(t.getsubtex("noblank"), glm::vec4(0.0f));
	EXPECT_EQ(GetCapturedStderr(),
		"subtex 4 too much.\nsubtex -1 too much.\nwtf\n"
		"can't find subtex 'zzz'\nfound subtex 'noblank' at pos 2. 0.00 0.00 0.00 0.00\n");
}

TEST(Atlas, LongNamesLongLinesAndTheLineLimit)
{
	std::string longname(200, 'n');
	std::string longline = "x" + std::string(5000, ' ') + "1 2 3 4";
	texture_c& t = read(atlas(longname + ".png", "a 1 2 3 4\n" + longline + "\n"));
	ASSERT_EQ(t.subtexnum, 2);
	// Cut at 998 characters: the numbers past the blanks are lost.
	EXPECT_EQ(strlen(t.subtexdata[1]), 998u);
	EXPECT_EQ(t.getsubtex(1), glm::vec4(0.0f));

	// 1000 reads at the most, and the last one is dropped.
	std::string many;
	for (int i = 0; i < 1200; i++)
		many += "e" + std::to_string(i) + " 0 0 1 1\n";
	std::string msg;
	texture_c& m = read(atlas("many.png", many), &msg);
	EXPECT_EQ(msg, "999 texes\n");
	EXPECT_STREQ(m.subtexdata[998], "e998 0 0 1 1");
}

TEST(Atlas, LongLinesAreCutAndSpecialFilesSkipped)
{
	std::string msg;
	std::string image = atlas("long.png", "a 1 2 3 " + std::string(2000, '4') + "\nb 5 6 7 8\n");
	texture_c& t = read(image, &msg);
	EXPECT_EQ(msg, image + ".txt:1: line longer than 998 characters, cut\n2 texes\n");
	ASSERT_EQ(t.subtexnum, 2);
	EXPECT_EQ(strlen(t.subtexdata[0]), 998u);
	EXPECT_EQ(t.getsubtex("b"), glm::vec4(5, 6, 12, 14));

	// A FIFO would block the open: it is not read.
	std::string fifo = image.substr(0, image.rfind('/')) + "/fifo.png";
	ASSERT_EQ(mkfifo((fifo + ".txt").c_str(), 0600), 0);
	texture_c& none = read(fifo, &msg);
	EXPECT_EQ(msg, fifo + ".txt: not a regular file, no subtexes\n");
	EXPECT_EQ(none.subtexnum, 0);
}

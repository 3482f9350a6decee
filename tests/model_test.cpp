#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>

#include "keep.h"
#include "model.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

static std::string obj(const std::string& name, const std::string& text)
{
	static std::string dir;
	if (dir.empty()) {
		char tmpl[] = "/tmp/qvdobjXXXXXX";
		dir = mkdtemp(tmpl);
	}
	std::string path = dir + "/" + name;
	FILE* f = fopen(path.c_str(), "wb");
	fwrite(text.data(), 1, text.size(), f);
	fclose(f);
	return path;
}

static const char* triangle =
	"# one triangle\n"
	"v 0 0 0\nv 2 0 0\nv 0 2 0\n"
	"vt 0 0\nvt 1 0\nvt 0 1\n"
	"vn 0 0 1\n"
	"g tri\ns 1\n"
	"f 1/1/1 2/2/1 3/3/1\n";

TEST(Model, OneTriangleWithItsStatistics)
{
	std::string path = obj("tri.obj", triangle);
	CaptureStderr();
	model_c& m = keep(new model_c(path.c_str()));
	std::string out = GetCapturedStderr();
	ASSERT_EQ(m.fcnt, 1);
	EXPECT_EQ(m.vcnt, 3);
	EXPECT_EQ(m.data[1].pos, glm::vec3(2, 0, 0));
	EXPECT_EQ(m.data[2].tc, glm::vec2(0, 1));
	EXPECT_EQ(m.data[0].nor, glm::vec3(0, 0, 1));
	EXPECT_NE(out.find("loading " + path + "\n"), std::string::npos);
	EXPECT_NE(out.find("tc size: 8, vertex size: 12 face size: 36. counts: 3 1\n"), std::string::npos);
	EXPECT_NE(out.find("center of model is at 0.67, 0.67, 0.00\n"
			   "min of model is at 0.00, 0.00, 0.00\n"
			   "max of model is at 2.00, 2.00, 0.00\n"
			   "realcenter of model is at 1.00, 1.00, 0.00\n"), std::string::npos);
}

TEST(Model, QuadsCarriageReturnsAndTheLastLine)
{
	std::string text = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nvn 1 0 0\nvn 0 1 0\n"
		"f 1/1/1 2/1/2 3/1/3 4/1/1\r\n"
		"f 1/1/1 3/1/1 4/1/3";
	CaptureStderr();
	model_c& m = keep(new model_c(obj("quad.obj", text).c_str()));
	GetCapturedStderr();
	ASSERT_EQ(m.fcnt, 2);
	EXPECT_EQ(m.faces[0].v3, 2u);
	EXPECT_EQ(m.faces[0].n3, 2u);  // the carriage return does not spoil it
	EXPECT_EQ(m.faces[1].v3, 3u);
	EXPECT_EQ(m.faces[1].n3, 2u);
}

TEST(Model, CenterCountsSharedPositionsPerCorner)
{
	std::string text = "v 0 0 0\nv 3 0 0\nv 0 3 0\nv 3 3 0\nvt 0 0\nvn 0 0 1\n"
		"f 1/1/1 2/1/1 3/1/1\nf 2/1/1 4/1/1 3/1/1\n";
	CaptureStderr();
	model_c& m = keep(new model_c(obj("two.obj", text).c_str()));
	GetCapturedStderr();
	EXPECT_FLOAT_EQ(m.center.x, (0 + 3 + 0 + 3 + 3 + 0) / 6.0f);
	EXPECT_FLOAT_EQ(m.center.y, (0 + 0 + 3 + 0 + 3 + 3) / 6.0f);
}

// Loads through load(), which reports instead of exiting; returns the
// message, which must be one line naming the file.
static std::string refused(const std::string& path)
{
	model_c m;
	CaptureStderr();
	bool ok = m.load(path.c_str());
	std::string out = GetCapturedStderr();
	EXPECT_FALSE(ok) << path;
	std::string head = "loading " + path + "\n";
	EXPECT_EQ(out.compare(0, head.size(), head), 0) << out;
	std::string rest = out.substr(std::min(head.size(), out.size()));
	EXPECT_EQ(rest.find('\n'), rest.size() - 1) << "not one line: " << rest;
	EXPECT_EQ(rest.compare(0, path.size(), path), 0) << rest;
	return rest.substr(std::min(path.size(), rest.size()));
}

TEST(Model, BadLinesAreRefusedWithTheFileAndLine)
{
	const std::string base = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
	struct {
		std::string line;
		const char* message;
	} cases[] = {
		{ "f 0/1/1 2/1/1 3/1/1\n", ":6: face corner '0/1/1' is not v/t/n with whole indices from 1\n" },
		{ "f -1/1/1 2/1/1 3/1/1\n", ":6: face corner '-1/1/1' is not v/t/n with whole indices from 1\n" },
		{ "f 1.9/1/1 2/1/1 3/1/1\n", ":6: face corner '1.9/1/1' is not v/t/n with whole indices from 1\n" },
		{ "f 1/1/1 3e2/1/1 3/1/1\n", ":6: face corner '3e2/1/1' is not v/t/n with whole indices from 1\n" },
		{ "f 1/1/1 2/1/1 3/1/1x\n", ":6: face corner '3/1/1x' is not v/t/n with whole indices from 1\n" },
		{ "f 1/1 2/1 3/1\n", ":6: face corner '1/1' is not v/t/n with whole indices from 1\n" },
		{ "f 1 2 3\n", ":6: face corner '1' is not v/t/n with whole indices from 1\n" },
		{ "f 1//1 2//1 3//1\n", ":6: face corner '1//1' is not v/t/n with whole indices from 1\n" },
		{ "f 1/1/1/1 2/1/1 3/1/1\n", ":6: face corner '1/1/1/1' is not v/t/n with whole indices from 1\n" },
		{ "f 1/1/1 2/1/1 4/1/1\n", ":6: face index past the entries read\n" },
		{ "f 1/2/1 2/1/1 3/1/1\n", ":6: face index past the entries read\n" },
		{ "f 1/1/1 2/1/1\n", ":6: face with 2 corners, a triangle needs 3\n" },
		{ "f 1/1/1 2/1/1 3/1/1 1/1/1 2/1/1\n", ":6: face with 5 corners, at most 4 are read\n" },
		{ "v abc\n", ":6: positions: expected a number\n" },
		{ "v 1 2\n", ":6: positions: expected a number\n" },
		{ "v 1 2 3 4\n", ":6: positions: more than the expected numbers\n" },
		{ "v nan 0 0\n", ":6: positions: number not finite or beyond 1000000\n" },
		{ "v 0 inf 0\n", ":6: positions: number not finite or beyond 1000000\n" },
		{ "v 0 0 -3e38\n", ":6: positions: number not finite or beyond 1000000\n" },
		{ "vt 0\n", ":6: texture coordinates: expected a number\n" },
		{ "vn 0 0 1e39\n", ":6: normals: number not finite or beyond 1000000\n" },
		{ std::string("v 0 0 0\0\n", 9), ":6: a zero byte: not a text file\n" },
		{ "# " + std::string(998, 'x') + "\n", ":6: line longer than 999 characters\n" },
	};
	int n = 0;
	for (auto& c : cases) {
		std::string path = obj("bad" + std::to_string(n++) + ".obj", base + c.line + "f 1/1/1 2/1/1 3/1/1\n");
		EXPECT_EQ(refused(path), c.message) << c.line;
	}
	// A line of 999 characters and its line end is still read.
	model_c& m = keep(new model_c);
	CaptureStderr();
	EXPECT_TRUE(m.load(obj("long.obj", "#" + std::string(998, 'x') + "\n" + base + "f 1/1/1 2/1/1 3/1/1\n").c_str()));
	GetCapturedStderr();
}

TEST(Model, FilesThatHoldNoModelAreRefused)
{
	std::string dir = obj("x", "");
	dir = dir.substr(0, dir.size() - 2);
	std::string fifo = dir + "/fifo.obj";
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	mkdir((dir + "/folder.obj").c_str(), 0700);
	std::string random(4096, 0);
	srand(7);
	for (char& c : random)
		c = (char)(1 + rand() % 255);
	struct {
		std::string path;
		const char* message;
	} cases[] = {
		{ dir + "/missing.obj", ": can't open model file: No such file or directory\n" },
		{ fifo, ": can't open model file: not a regular file\n" },
		{ dir + "/folder.obj", ": can't open model file: not a regular file\n" },
		{ "/dev/zero", ": can't open model file: not a regular file\n" },
		{ obj("empty.obj", ""), ": no faces in the model\n" },
		{ obj("comments.obj", "# nothing\n\n# here\n"), ": no faces in the model\n" },
		{ obj("points.obj", "v 0 0 0\nvt 0 0\nvn 0 0 1\n"), ": no faces in the model\n" },
		{ obj("random.obj", random), ": no faces in the model\n" },
		// A regular file whose first read fails: an error, not an empty model.
		{ "/proc/self/mem", ": read error: Input/output error\n" },
	};
	for (auto& c : cases)
		EXPECT_EQ(refused(c.path), c.message);
}

TEST(Model, CapacitiesAreOneLineEach)
{
	std::string vts;
	for (int i = 0; i < 6001; i++)
		vts += "vt 0.5 0.5\n";
	EXPECT_EQ(refused(obj("tcs.obj", vts)), ":6001: more than 6000 texture coordinates, the loader's limit\n");

	std::string faces = "v 0 0 0\nvt 0 0\nvn 0 0 1\n";
	for (int i = 0; i < 7002; i++)
		faces += "f 1/1/1 1/1/1 1/1/1\n";
	EXPECT_EQ(refused(obj("faces.obj", faces)), ":7004: more than 7000 faces, the loader's limit\n");
}

TEST(ModelDeathTest, TheDemosLoaderStopsWithStatusOne)
{
	std::string path = obj("stop.obj", "v 0 0 0\nf 1/1/1 1/1/1 1/1/1\n");
	EXPECT_EXIT(model_c m(path.c_str()), testing::ExitedWithCode(1),
		"stop.obj:2: face index past the entries read\n");
}

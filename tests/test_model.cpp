#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

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

TEST(Model, CapacitiesDropTheRestWithMessages)
{
	std::string text;
	for (int i = 0; i < 6001; i++)
		text += "vt 0.5 0.5\n";
	text += "v 0 0 0\nvn 0 0 1\n";
	for (int i = 0; i < 7002; i++)
		text += "f 1/1/1 1/1/1 1/1/1\n";
	CaptureStderr();
	model_c& m = keep(new model_c(obj("big.obj", text).c_str()));
	std::string out = GetCapturedStderr();
	EXPECT_EQ(m.tcnt, 6001);
	EXPECT_EQ(m.fcnt, 7000);
	EXPECT_NE(out.find("too many tc (6000)\n"), std::string::npos);
	size_t first = out.find("too many faces (7000)\n");
	ASSERT_NE(first, std::string::npos);
	EXPECT_NE(out.find("too many faces (7000)\n", first + 1), std::string::npos);
	EXPECT_EQ(out.find("too many tc (5999)"), std::string::npos);
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

TEST(ModelDeathTest, BadFilesStopWithTheFileAndLine)
{
	const std::string base = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
	struct {
		const char* name;
		std::string face;
	} cases[] = {
		{ "zero.obj", "f 0/1/1 2/1/1 3/1/1\n" },
		{ "negative.obj", "f -1/1/1 2/1/1 3/1/1\n" },
		{ "past.obj", "f 1/1/1 2/1/1 4/1/1\n" },
		{ "pasttc.obj", "f 1/2/1 2/1/1 3/1/1\n" },
		{ "nonormal.obj", "f 1/1 2/1 3/1\n" },
		{ "plain.obj", "f 1 2 3\n" },
		{ "empty.obj", "f 1//1 2//1 3//1\n" },
	};
	for (auto& c : cases) {
		std::string path = obj(c.name, base + c.face);
		EXPECT_EXIT(model_c m(path.c_str()), testing::ExitedWithCode(1),
			std::string(c.name) + ":6: face index missing, zero, negative or past the entries read\n") << c.name;
	}
	EXPECT_EXIT(model_c m("/tmp/no/such/model.obj"), testing::ExitedWithCode(1),
		"/tmp/no/such/model.obj: can't open model file\n");
}

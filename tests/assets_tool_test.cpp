// The generator itself: rejects bad arguments with one line, and writes the
// same bytes every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

int run(const std::string& args, std::string* out) {
	std::string cmd = std::string(QVD_ASSETGEN) + " " + args + " 2>&1";
	FILE* p = popen(cmd.c_str(), "r");
	if (!p) return -1;
	char buf[512];
	out->clear();
	while (fgets(buf, sizeof buf, p)) *out += buf;
	int st = pclose(p);
	return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string slurp(const std::string& fn) {
	std::ifstream f(fn, std::ios::binary);
	std::stringstream s;
	s << f.rdbuf();
	return s.str();
}

std::vector<std::string> listing(const std::string& dir) {
	std::vector<std::string> out;
	const char* subs[2] = {"", "gfx/"};
	for (const char* sub : subs) {
		DIR* d = opendir((dir + "/" + sub).c_str());
		if (!d) continue;
		while (dirent* e = readdir(d))
			if (e->d_name[0] != '.' && e->d_type == DT_REG) out.push_back(std::string(sub) + e->d_name);
		closedir(d);
	}
	std::sort(out.begin(), out.end());
	return out;
}

}  // namespace

TEST(AssetTool, BadArgumentsGiveOneLineAndFail) {
	const char* bad[3] = {"", "a b", "--help"};
	for (const char* args : bad) {
		std::string out;
		EXPECT_NE(0, run(args, &out)) << "arguments '" << args << "'";
		EXPECT_EQ(1, std::count(out.begin(), out.end(), '\n')) << out;
	}
	std::string out;
	EXPECT_NE(0, run("/proc/no/such/folder", &out));
	EXPECT_EQ(1, std::count(out.begin(), out.end(), '\n')) << out;
}

TEST(AssetTool, SecondRunWritesTheSameBytes) {
	char tmpl[] = "/tmp/assetgen_test_XXXXXX";
	ASSERT_NE(nullptr, mkdtemp(tmpl));
	std::string dir = tmpl, out;
	ASSERT_EQ(0, run(dir, &out)) << out;
	std::vector<std::string> mine = listing(dir), built = listing(".");
	EXPECT_EQ(32u, mine.size());
	for (const std::string& f : mine) {
		EXPECT_TRUE(std::find(built.begin(), built.end(), f) != built.end()) << f;
		EXPECT_TRUE(slurp(dir + "/" + f) == slurp(f)) << f << " differs between runs";
		remove((dir + "/" + f).c_str());
	}
	rmdir((dir + "/gfx").c_str());
	rmdir(dir.c_str());
}

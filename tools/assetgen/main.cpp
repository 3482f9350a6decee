// assetgen: writes the demo's complete data set (pictures, models, music)
// into the folder given as its only argument; `assetgen --icon FILE` writes
// the program's icon instead.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "assetgen.h"

static bool makedir(const std::string& d) {
	if (mkdir(d.c_str(), 0755) == 0) return true;
	struct stat st;
	return stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

typedef std::chrono::steady_clock clock_t_;

static double since(clock_t_::time_point t0) {
	return std::chrono::duration<double>(clock_t_::now() - t0).count();
}

static double timed(void (*fn)(const std::string&), const std::string& dir) {
	auto t0 = clock_t_::now();
	fn(dir);
	return since(t0);
}

int main(int argc, char** argv) {
	if (argc == 3 && !strcmp(argv[1], "--icon") && argv[2][0]) {
		gen_icon(argv[2]);
		return 0;
	}
	if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
		fprintf(stderr, "usage: assetgen OUTPUT_FOLDER, or assetgen --icon FILE\n");
		return 2;
	}
	std::string dir = argv[1];
	if (!makedir(dir) || !makedir(dir + "/gfx")) {
		fprintf(stderr, "assetgen: cannot create folder %s/gfx\n", dir.c_str());
		return 1;
	}
	auto t0 = std::chrono::steady_clock::now();
	// Three independent jobs share the cores; the lettering families stay on
	// one thread since FreeType's library object is not shared safely.
	double music_s = 0.0, materials_s = 0.0, models_s = 0.0;
	std::thread music([&] { music_s = timed(gen_music, dir); });
	std::thread surfaces([&] {
		materials_s = timed(gen_materials, dir);
		models_s = timed(gen_models, dir);
	});
	double text_s = timed(gen_lettering, dir) + timed(gen_scenes, dir);
	surfaces.join();
	music.join();
	fprintf(stderr,
		"assetgen: data set written to %s in %.1f s (lettering and scenes %.1f s, materials %.1f s, "
		"models %.1f s, music %.1f s)\n",
		dir.c_str(), since(t0), text_s, materials_s, models_s, music_s);
	return 0;
}

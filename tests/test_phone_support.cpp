#include "test_phone_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// private copy: the engine carries its own
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../content/effects.h"
#include "gltest.h"
#include "sync.h"

// The demo script's globals that these effects read and write.
float orbitradius = 70.0f;
spring_c<glm::vec3> tunnelflyer;

// One folder per process, removed when it ends.
static std::string scene_root;

static void remove_scenes()
{
	if (chdir("/") == 0 && system(("rm -rf '" + scene_root + "'").c_str()) != 0)
		fprintf(stderr, "could not remove %s\n", scene_root.c_str());
}

std::string scene_dir(const char* name)
{
	if (scene_root.empty()) {
		scene_root = std::string(P_tmpdir) + "/qvd_scenes_" + std::to_string(getpid());
		mkdir(scene_root.c_str(), 0755);
		atexit(remove_scenes);
	}
	std::string dir = scene_root + "/" + name;
	mkdir(dir.c_str(), 0755);
	mkdir((dir + "/gfx").c_str(), 0755);
	if (chdir(dir.c_str()) != 0)
		perror(dir.c_str());
	return dir;
}

void scene_text(const char* fn, const std::string& text)
{
	FILE* f = fopen(fn, "wb");
	fwrite(text.data(), 1, text.size(), f);
	fclose(f);
}

void scene_png(const char* fn, int w, int h, uint32_t rgba)
{
	std::vector<uint32_t> px((size_t)w * h, rgba);
	stbi_write_png(fn, w, h, 4, px.data(), w * 4);
}

void scene_marked_png(const char* fn, int w, int h, uint32_t mark, uint32_t rest)
{
	std::vector<uint32_t> px((size_t)w * h, rest);
	for (int y = 0; y < h / 2; y++)
		for (int x = 0; x < w / 2; x++)
			px[(size_t)y * w + x] = mark;
	stbi_write_png(fn, w, h, 4, px.data(), w * 4);
}

void scene_rearm()
{
	for (auto& e : events)
		e.second.happened = e.second.happened_queue = false;
}

void scene_save(const char* fn, int w, int h)
{
	const char* dir = getenv("QVD_SAVE_FRAMES");
	if (!dir)
		return;
	std::vector<uint8_t> px = gltest_read(0, 0, w, h);
	stbi_flip_vertically_on_write(1);
	stbi_write_png((std::string(dir) + "/" + fn).c_str(), w, h, 4, px.data(), w * 4);
}

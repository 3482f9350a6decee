// Runs saved fuzz inputs through a fuzz target without the fuzzer's
// runtime: each argument is a file or a folder of files.
#include <dirent.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static bool run_file(const std::string& path)
{
	FILE* f = fopen(path.c_str(), "rb");
	if (!f) {
		fprintf(stderr, "%s: can't open\n", path.c_str());
		return false;
	}
	std::vector<uint8_t> bytes;
	uint8_t buf[65536];
	size_t n;
	while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
		bytes.insert(bytes.end(), buf, buf + n);
	fclose(f);
	fprintf(stderr, "running %s (%zu bytes)\n", path.c_str(), bytes.size());
	LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
	return true;
}

int main(int argc, char** argv)
{
	int count = 0;
	for (int i = 1; i < argc; i++) {
		struct stat st;
		if (stat(argv[i], &st) != 0) {
			fprintf(stderr, "%s: no such file\n", argv[i]);
			return 1;
		}
		std::vector<std::string> files;
		if (S_ISDIR(st.st_mode)) {
			DIR* d = opendir(argv[i]);
			while (dirent* e = d ? readdir(d) : NULL)
				if (e->d_name[0] != '.')
					files.push_back(std::string(argv[i]) + "/" + e->d_name);
			if (d)
				closedir(d);
		} else {
			files.push_back(argv[i]);
		}
		for (const std::string& f : files) {
			if (!run_file(f))
				return 1;
			count++;
		}
	}
	fprintf(stderr, "%i inputs ran\n", count);
	return count > 0 ? 0 : 1;
}

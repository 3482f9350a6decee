#include "fuzz_input.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

std::string fuzz_file(const uint8_t* data, size_t size, const char* suffix)
{
	const char* tmp = getenv("TMPDIR");
	std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/qvdfuzz-" +
		std::to_string((long)getpid()) + suffix;
	FILE* f = fopen(path.c_str(), "wb");
	if (!f) {
		perror(path.c_str());
		abort();
	}
	fwrite(data, 1, size, f);
	fclose(f);
	return path;
}

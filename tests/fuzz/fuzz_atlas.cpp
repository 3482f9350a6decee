// The sub-texture atlas on arbitrary bytes, with every lookup by index and
// by the name of every entry.
#include <stdlib.h>
#include <string.h>

#include "fuzz_input.h"
#include "texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string atlas = fuzz_file(data, size, ".png.txt");
	std::string picture = atlas.substr(0, atlas.size() - 4);
	texture_c t;
	memset(&t, 0, sizeof(t));
	t.checksubtex(picture.c_str());
	for (int i = -1; i <= t.subtexnum; i++)
		t.getsubtex(i);
	for (int i = 0; i < t.subtexnum; i++) {
		std::string name(t.subtexdata[i], strcspn(t.subtexdata[i], " "));
		t.getsubtex(name.c_str());
	}
	for (int i = 0; i < t.subtexnum; i++)
		free(t.subtexdata[i]);
	delete[] t.subtexdata;
	return 0;
}

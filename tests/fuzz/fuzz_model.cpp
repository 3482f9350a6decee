// The OBJ loader on arbitrary bytes: it either builds a model whose corners
// all come from stored entries, or reports the line and refuses.
#include <stdlib.h>

#include "fuzz_input.h"
#include "model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string path = fuzz_file(data, size, ".obj");
	model_c m;
	if (m.load(path.c_str())) {
		if (m.fcnt < 1 || m.fcnt > model_c::maxfaces)
			abort();
		for (int i = 0; i < m.fcnt * 3; i++)
			if (!(glm::abs(m.data[i].pos.x) <= 1e6f))
				abort();
	}
	return 0;
}

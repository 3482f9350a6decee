// The picture writers from Debian's stb package, compiled once.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

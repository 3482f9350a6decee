// Fuzz inputs reach the loaders through a file, as the demo's data does.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string>

// Writes the input to a file of this process and returns its path;
// `suffix` is appended to a fixed base name.
std::string fuzz_file(const uint8_t* data, size_t size, const char* suffix);

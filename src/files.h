// Opening files named by the user or the data set. A FIFO in a file's
// place would block the open (or the first read) for good, and a device
// could be endless: only regular files are opened, never waiting.
#pragma once

#include <stdio.h>

// Opens fn with mode "r"/"rb" or "w"/"wb" if it is a regular file (for
// writing: if it is one or does not exist yet). NULL otherwise, with the
// reason in open_failure().
FILE* open_regular(const char* fn, const char* mode);

// Why the last open_regular failed: the system's reason, or "not a
// regular file".
const char* open_failure();

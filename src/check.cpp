#include "check.h"

#include <stdio.h>
#include <stdlib.h>

void check_failed(const char* condition, const char* file, int line)
{
	fprintf(stderr, "%s:%i: check failed: %s\n", file, line, condition);
	fflush(stderr);
	abort();
}

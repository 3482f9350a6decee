// Empty demo hooks for test programs that use the engine without a demo.
#include "main.h"

void demo_config() {}
void demo_init() {}
void demo_initgl() {}
void demo_run() {}

// Process entry of every program built on the runtime frame.
#include "main.h"

int main(int argc, char** argv)
{
	return runtime_main(argc, argv);
}

// Where the demo reads its data: the working directory, the folder given
// with --data, or the data installed beside the program.
#pragma once

// The folder given with --data, or NULL.
extern const char* data_option;

// Changes into the data folder when it is not the working directory; paths
// the user gave keep meaning the folder the program was started in. 0, or
// after a one-line message the exit status.
int enter_data_folder();
// Back to the folder the program was started in, for what it writes on
// its way out and before it starts again.
void leave_data_folder();

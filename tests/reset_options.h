// The configuration defaults, restored before each parse of a test.
#pragma once

#include "capture.h"
#include "datadir.h"
#include "main.h"
#include "options.h"
#include "retime.h"
#include "seek.h"

inline void reset_options()
{
	config_width = 854;
	config_height = 480;
	config_videoflags = 0;
	config_otherflags = 1;
	timeval_skip = 0.0f;
	seek_time = -1.0;
	debugmode = false;
	capture_options = capture_options_s{ false, false, NULL, 50, 1, 1, 0.0, 225.0 };
	retime_options = retime_options_s{ NULL, false, false, 0.0f, 0.0f, false };
	data_option = NULL;
	version_option = false;
}

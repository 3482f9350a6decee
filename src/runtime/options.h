// Command line of the runtime frame.
#pragma once

// Reads the options into the configuration globals; false (after a
// one-line message) when a value is unusable.
bool parse_options(int argc, char** argv);

// Set by --version: print the version and stop.
extern bool version_option;

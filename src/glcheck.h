// GL errors, looked for only where asked: with QVD_GL_CHECK=1 in the
// environment (the tests set it) once after set-up and once a frame. A
// check costs a round trip to the driver on some GPUs, so plays skip it.
#pragma once

// Reads the switch; call once at start.
void gl_check_init();
// With the switch on: a pending GL error ends the process with status 1 and
// one line naming the error and where (e.g. "in the frame at 12.34 s").
void gl_check(const char* where);
// The same for the frame drawn at the demo time given.
void gl_check_frame(float seconds);

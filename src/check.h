// Fatal start-up checks. Unlike assert() they stay active in release builds:
// the demo cannot run on without a window, a GL context or its shaders.
#pragma once

[[noreturn]] void check_failed(const char* condition, const char* file, int line);

#define QVD_CHECK(cond) ((cond) ? (void)0 : check_failed(#cond, __FILE__, __LINE__))

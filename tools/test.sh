#!/bin/sh
# Installs what is missing, builds everything twice (normal, and with the
# address and undefined-behaviour sanitizers) and runs all tests in both,
# on a virtual X display.
set -e
cd "$(dirname "$0")/.."
./tools/setup.sh
jobs=$(nproc)
# The tests' environment, for every test: ctest's per-test lists do not
# reach the tests that gtest discovers (only their first entry does).
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$(pwd)/tests/ubsan.supp"
export GTEST_DEATH_TEST_STYLE=threadsafe
export SDL_AUDIODRIVER=dummy
# Every frame of the programs under test is checked for GL errors.
export QVD_GL_CHECK=1
run_tests() {
	build=$1
	shift
	cmake -S . -B "$build" "$@" >/dev/null
	cmake --build "$build" -j"$jobs"
	xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
		ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 900
}
run_tests build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVD_DATA=ON -DQVD_TEST_ONLY=
run_tests build-asan -DCMAKE_BUILD_TYPE=Debug -DQVD_SANITIZE=ON -DQVD_DATA=ON -DQVD_TEST_ONLY=

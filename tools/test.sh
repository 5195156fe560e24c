#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build
# (GUI tests under Xvfb), and the non-GUI tests again under
# AddressSanitizer + UndefinedBehaviorSanitizer and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp"

run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 600
}

tools/build.sh build
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600

tools/build.sh build-asan -DTALIARD_SANITIZE=address -DTALIARD_BUILD_UI=OFF
run_ctest build-asan

tools/build.sh build-tsan -DTALIARD_SANITIZE=thread -DTALIARD_BUILD_UI=OFF
run_ctest build-tsan

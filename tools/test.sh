#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build
# (GUI tests under Xvfb); every test again under AddressSanitizer +
# UndefinedBehaviorSanitizer (one build with the window, so the libraries are
# compiled once); the non-GUI tests under ThreadSanitizer; and each fuzz
# target for FUZZ_SECONDS (default 30); the Debian package is built and
# checked with lintian. Any sanitizer report fails the run.
# The sanitizer runs stream smaller loads (RELIABILITY_STREAM_MB) so that
# they stay quick.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --test
started=$SECONDS

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp"
# Leaks inside the display libraries only; see the file.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp print_suppressions=0"

run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 600
}
run_gui_ctest() {
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 600
}
lap() {
  echo "== $1 done at $((SECONDS - started)) s"
}

tools/build.sh build -DTALIARD_BUILD_TESTS=ON
run_gui_ctest build
lap "normal build and tests"


tools/build.sh build-asan-ui -DTALIARD_SANITIZE=address
RELIABILITY_STREAM_MB=20 run_gui_ctest build-asan-ui
lap "ASan+UBSan, GUI tests included"

tools/build.sh build-tsan -DTALIARD_SANITIZE=thread -DTALIARD_BUILD_UI=OFF
RELIABILITY_STREAM_MB=4 run_ctest build-tsan
lap "TSan"

tools/fuzz.sh "${FUZZ_SECONDS:-30}"
lap "fuzzing"

# The Debian package: no lintian error or warning.
rm -f build/taliard_*.deb
(cd build && cpack -G DEB >/dev/null)
lintian --fail-on error,warning build/taliard_*.deb
lap "package"

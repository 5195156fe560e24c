#!/usr/bin/env bash
# run.sh [arguments...]: installs what is missing, builds the program alone
# (no tests, no benchmarks) and starts Taliard with the arguments given (for
# example --demo).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# A folder that tools/test.sh configured keeps its tests; only the program
# is built either way.
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ -f build/CMakeCache.txt ] || options+=(-DTALIARD_BUILD_TESTS=OFF)
cmake -S . -B build "${options[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target taliard
exec build/ui/taliard "$@"

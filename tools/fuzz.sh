#!/usr/bin/env bash
# fuzz.sh [seconds]: builds the libFuzzer targets with clang in build-fuzz and
# runs each for the given time (default 600 s) over its seed corpus in
# tests/fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/<target>/
# (copy the useful ones into the repository); a crash leaves its input in
# build-fuzz/artifacts/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTALIARD_BUILD_UI=OFF -DTALIARD_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_modestring fuzz_xmodem fuzz_decode

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/artifacts
for target in modestring xmodem decode; do
  options=()
  # Each sender run takes milliseconds: start with long op sequences at once.
  [ "$target" = xmodem ] && options=(-max_len=64 -len_control=0)
  mkdir -p "build-fuzz/corpus/$target"
  echo "fuzz_$target: $seconds s"
  log="build-fuzz/$target.log"
  if ! "build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 "${options[@]}" \
      -artifact_prefix="build-fuzz/artifacts/$target-" \
      "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 80 "$log"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$log" || true
done

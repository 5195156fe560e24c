#!/usr/bin/env bash
# run.sh [build folder]: installs what is missing, builds the program and the
# benchmarks (RelWithDebInfo, in build-bench unless told), runs every
# benchmark and prints one table: figure, measured, target, met. About three and a
# half minutes. Run it on a quiet machine: the figures are CPU and latency.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --test >&2
dir=${1:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)" --target taliard receive_bench xmodem_bench replug_bench window_bench >&2

# An X server of our own, as on the reference machine: 1280x1024x24, no
# window manager.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.05
done

echo "Machine: $(nproc) cores, $(uname -sm); load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| figure | measured | target | met |"
echo "|---|---|---|---|"
status=0
"$dir/bench/receive_bench" 64 3 || status=1
DISPLAY=":$display" "$dir/bench/window_bench" "$dir/ui/taliard" "$xvfb" 7 || status=1
"$dir/bench/xmodem_bench" 1024 5 || status=1
"$dir/bench/replug_bench" 30 || status=1
echo
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$status"

#!/usr/bin/env bash
# screenshot.sh [arguments...]: starts Taliard (with the arguments given) on a
# virtual X server, waits for its window, presses the connect button as a
# user would, and saves a picture of the window to docs/screenshot.png.
# With --demo the picture shows the demo board's greeting. Builds first if
# the program is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --test
[ -x build/ui/taliard ] || { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target taliard; }
mkdir -p docs

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
#!/usr/bin/env bash
# Runs inside xvfb-run: the program in the background, the shot when its
# window is up and painted.
set -euo pipefail
build/ui/taliard "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT
window=""
for _ in $(seq 1 100); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"[^"]* - Taliard"/ { print $1; exit }')
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "taliard exited before showing its window" >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "no Taliard window appeared" >&2; exit 1; }
sleep 1
# The connect button sits at a fixed place above the window's bottom edge
# (C locale, text scale 1).
height=$(xwininfo -id "$window" | awk '/Height:/ { print $2 }')
xdotool mousemove --window "$window" 479 $((height - 63)) click 1
sleep 1.5
import -window "$window" docs/screenshot.png
INNER
chmod +x "$inner"
xvfb-run -a -s "-screen 0 1280x1024x24" "$inner" "$@"
echo "saved docs/screenshot.png"

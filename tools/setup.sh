#!/usr/bin/env bash
# Installs the Debian packages Taliard needs to build, run and test.
# Only missing packages are installed; the package lists are refreshed first
# because a fresh machine's lists may be empty.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev          # window framework (GTK 3)
  fonts-wqy-microhei       # the Chinese texts on screen
  googletest libgtest-dev  # unit and integration tests
  libbenchmark-dev         # bench/
  libx11-dev libxdamage-dev libxtst-dev  # Xlib (lost display); bench/window_bench: X DAMAGE and XTest
  xvfb xauth x11-utils imagemagick  # tests and screenshots that need a display
  xdotool                  # tools/screenshot.sh presses the connect button
  lrzsz                    # an XMODEM receiver we did not write
  clang libclang-rt-14-dev # fuzzing (libFuzzer)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# setup.sh [--test]: installs the Debian packages Taliard needs to build and
# run. With --test, also what the tests, benchmarks and screenshots need,
# and generates the locales the tests switch to.
# Only missing packages are installed; the package lists are refreshed first
# because a fresh machine's lists may be empty. Uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev          # window framework (GTK 3)
  libgtk-3-dev             # GTK, Pango and ATK headers: the receive pane draws itself
  fonts-wqy-microhei       # the Chinese texts on screen
)
test_packages=(
  googletest libgtest-dev  # unit and integration tests
  libbenchmark-dev         # bench/
  libx11-dev libxdamage-dev libxtst-dev  # Xlib (lost display); bench/window_bench: X DAMAGE and XTest
  xvfb xauth x11-utils imagemagick  # tests and screenshots that need a display
  xdotool                  # tools/screenshot.sh presses the connect button
  lrzsz                    # an XMODEM receiver we did not write
  clang libclang-rt-14-dev # fuzzing (libFuzzer)
  locales                  # localedef, for the locales below
  lintian                  # checks the Debian package
)
# The window is checked in these; C.UTF-8 comes with libc.
test_locales=(en_US.UTF-8 zh_CN.UTF-8 zh_CN.GB18030)

with_tests=false
[ "${1:-}" = --test ] && with_tests=true
$with_tests && packages+=("${test_packages[@]}")

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

if $with_tests; then
  for name in "${test_locales[@]}"; do
    # locale -a spells zh_CN.GB18030 as zh_CN.gb18030 and UTF-8 as utf8.
    listed=$(echo "$name" | sed 's/\.UTF-8$/.utf8/; s/\.GB18030$/.gb18030/')
    locale -a | grep -qx "$listed" || $sudo localedef -i "${name%%.*}" -f "${name#*.}" "$name"
  done
fi

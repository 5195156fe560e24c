#!/usr/bin/env bash
# run.sh [arguments...]: installs what is missing, builds, and starts Taliard
# with the arguments given (for example --demo).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build
exec build/ui/taliard "$@"

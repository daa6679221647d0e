#!/usr/bin/env bash
# Builds everything and runs every test: headless, and the screen tests
# (label "screen") each on a virtual X server of its own.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
source tools/test_packages.sh
export QT_QPA_PLATFORM=offscreen
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j "$(nproc)" "$@"

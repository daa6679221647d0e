#!/usr/bin/env bash
# Builds the program, creates its database files when absent and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
exec "${BUILD_DIR:-build}/luvora" "$@"

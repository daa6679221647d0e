#!/usr/bin/env bash
# Builds the program, creates its database files when absent and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
build=${BUILD_DIR:-build}
# The build makes the files when their scripts change; a file removed since
# then (a fresh start) is made here. An existing main file is never touched.
if [ ! -e "$build/DB/Luvora.FDB" ] || [ ! -e "$build/DB/Luvora_Data.FDB" ]; then
  db/create_databases.sh "$build/DB"
fi
exec "$build/luvora" "$@"

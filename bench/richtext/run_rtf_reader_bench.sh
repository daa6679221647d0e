#!/usr/bin/env bash
# Runs the RTF reader's benchmark beside its peers: installs unrtf and pandoc
# when they are missing (Debian), builds and runs bench_rtf_reader. Extra
# arguments go to the benchmark (for instance --benchmark_filter=...).
set -euo pipefail
cd "$(dirname "$0")/../.."
missing=()
for p in unrtf pandoc; do
  command -v "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
build_dir=${BUILD_DIR:-build}
cmake --build "$build_dir" --target bench_rtf_reader
uptime
"$build_dir/bench/richtext/bench_rtf_reader" "$@"

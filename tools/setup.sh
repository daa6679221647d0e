#!/usr/bin/env bash
# Installs what the build needs when it is missing (Debian 12), then configures
# and builds. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(g++ cmake ninja-build ccache qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
          firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
          libjpeg62-turbo-dev libicu-dev fonts-liberation2 libgtest-dev libgmock-dev libbenchmark-dev
          qt6-translations-l10n clang-format clang libclang-rt-dev xdg-utils libxcb1-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  # Through env: sudo drops the caller's environment, and a package's
  # questions would stop an unattended run.
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja ${CMAKE_ARGS:-}
fi
cmake --build "$build_dir" -j "$(nproc)"

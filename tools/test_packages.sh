#!/usr/bin/env bash
# Installs what only the tests need when it is missing (Debian 12): a virtual
# X server, a window manager and X input for the screen tests, the Russian
# locale they run under, and the outside programs that read what the program
# writes (poppler's tools, LibreOffice Writer, pandoc). Sourced by test.sh;
# run.sh needs none of it.
set -euo pipefail

test_packages=(xvfb xauth openbox xdotool x11-utils x11-apps imagemagick locales
               poppler-utils libreoffice-writer-nogui pandoc)
test_missing=()
for p in "${test_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || test_missing+=("$p")
done
test_sudo=""; [ "$(id -u)" -ne 0 ] && test_sudo=sudo
if [ ${#test_missing[@]} -gt 0 ]; then
  echo "Installing for the tests: ${test_missing[*]}"
  $test_sudo apt-get update -qq
  $test_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${test_missing[@]}"
fi
# The screen tests run under ru_RU.UTF-8 as well as C.UTF-8.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  echo "Generating the locale ru_RU.UTF-8"
  $test_sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $test_sudo tee -a /etc/locale.gen >/dev/null
  $test_sudo locale-gen >/dev/null
fi

#!/usr/bin/env bash
# Fails when a Debian package that provides a CMake package the configure step
# found is not named in the set-up list, so a fresh machine would lack it.
# Usage: setup_packages_check.sh CMakeCache.txt setup.sh
set -euo pipefail
cache=$1 setup=$2
listed=" $(sed -n '/^packages=(/,/)/p' "$setup" | tr -d '()' | sed 's/packages=//' | tr -s ' \n' ' ') "
# The config files tell the owner apart where several packages share a folder.
configs=()
while IFS= read -r dir; do
  for config in "$dir"/*Config.cmake "$dir"/*-config.cmake; do
    [ -e "$config" ] && configs+=("$config")
  done
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=/' "$cache" | grep -v '_INCLUDE_DIR:' | cut -d= -f2-)
[ ${#configs[@]} -gt 0 ] || { echo "no CMake package found in $cache"; exit 1; }
# dpkg's own file lists, read once: a dpkg -S per file takes seconds.
missing=$(grep -H -F -x -f <(printf '%s\n' "${configs[@]}") /var/lib/dpkg/info/*.list |
  while IFS= read -r line; do
    owner=$(basename "${line%%.list:*}")
    owner=${owner%%:*}
    [[ "$listed" == *" $owner "* ]] || echo "missing from the set-up list: $owner (for ${line##*/})"
  done | sort -u)
if [ -n "$missing" ]; then
  echo "$missing"
  exit 1
fi
echo "every CMake package's Debian package is in the set-up list"

#!/usr/bin/env bash
# Makes the tests' pristine database files in the folder given: the program's
# two files from the scripts in db/ and an empty WIN1251 database. Tests copy
# them rather than run the scripts for every case. The folder is built under
# a temporary name and swapped in whole, so it is never seen half made.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make_db_fixture.sh OUTPUT_FOLDER}
source "$here/../../db/firebird_lock.sh"
isql=$(command -v isql-fb || command -v isql || true)
[ -n "$isql" ] || { echo "isql-fb not found: install firebird3.0-utils" >&2; exit 1; }

tmp="$out.tmp.$$"
rm -rf "$tmp"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp"
"$here/../../db/create_databases.sh" "$tmp"
printf "CREATE DATABASE '%s' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;\nCOMMIT;\n" "$tmp/Empty.FDB" > "$tmp/empty.sql"
"$isql" -q -b -i "$tmp/empty.sql"
rm -f "$tmp/empty.sql"
# Tests need no durability: without forced writes their commits skip the
# disk flush, and every copy inherits the setting.
if gfix=$(command -v gfix); then
  for f in "$tmp"/*.FDB; do "$gfix" -write async -user SYSDBA "$f"; done
fi
# Tests check the stamp against the scripts, so stale copies are never used.
touch "$tmp/.made"
rm -rf "$out"
mv "$tmp" "$out"

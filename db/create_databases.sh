#!/usr/bin/env bash
# Creates the two database files in the folder given (default: DB beside this
# script's build). The data file is rebuilt from the scripts; the main file is
# created only when it does not exist yet, since it holds the user's data.
# Each file is built under a temporary name and renamed when complete, so an
# interrupted run never leaves a half-made file behind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: create_databases.sh OUTPUT_FOLDER}
mkdir -p "$out"
out=$(cd "$out" && pwd)
source "$here/firebird_lock.sh"
isql=$(command -v isql-fb || command -v isql || true)
[ -n "$isql" ] || { echo "isql-fb not found: install firebird3.0-utils" >&2; exit 1; }

# create NAME SCRIPT...: builds $out/NAME from the scripts
create() {
  local name=$1; shift
  local tmp="$out/.$name.$$.tmp"
  rm -f "$tmp"
  {
    echo "SET SQL DIALECT 3;"
    echo "SET NAMES UTF8;"
    echo "CREATE DATABASE '$tmp' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1251;"
    for script in "$@"; do
      [ -f "$script" ] && echo "INPUT '$script';"
    done
    echo "COMMIT;"
  } > "$tmp.sql"
  if ! "$isql" -q -b -ch UTF8 -i "$tmp.sql" > "$tmp.log" 2>&1 || grep -q 'Statement failed\|SQLSTATE' "$tmp.log"; then
    cat "$tmp.log" >&2
    rm -f "$tmp" "$tmp.sql" "$tmp.log"
    echo "could not create $name" >&2
    exit 1
  fi
  rm -f "$tmp.sql" "$tmp.log"
  mv -f "$tmp" "$out/$name"
}

# user_tables FILE: prints how many tables of its own the file has; nothing
# when it cannot be read.
user_tables() {
  echo 'select count(*) from rdb$relations where rdb$system_flag = 0;' \
    | "$isql" -q -b "$1" 2>/dev/null | awk 'NF == 1 && $1 ~ /^[0-9]+$/ { print $1 }'
}

create Luvora_Data.FDB "$here"/data_schema.sql "$here"/data_content_*.sql
# A main file without a single table was made before its schema existed and
# holds no data: it is made anew. Any other existing main file is kept.
if [ ! -e "$out/Luvora.FDB" ] || [ "$(user_tables "$out/Luvora.FDB")" = "0" ]; then
  create Luvora.FDB "$here"/main_schema.sql
fi

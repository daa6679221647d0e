#!/usr/bin/env bash
# Checks that C++ sources follow the repository's .clang-format and open with
# a comment saying what they hold. With arguments, checks those files;
# without, every tracked source, so the files any change touched are among
# them.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
[ ${#files[@]} -gt 0 ] || exit 0
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Format with: clang-format -i <file>" >&2
  exit 1
fi
missing=0
for f in "${files[@]}"; do
  case "$(head -n 1 "$f")" in
    "// "?*) ;;
    *) echo "$f: does not open with a comment saying what it holds" >&2; missing=1 ;;
  esac
done
exit $missing

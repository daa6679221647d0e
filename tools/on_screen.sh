#!/usr/bin/env bash
# Runs a command (the program when none is given) on a virtual X screen of
# its own (xvfb-run) with a window manager, and with -o saves a picture of
# each window as it appears, so a window can be looked at after a change.
#
#   tools/on_screen.sh [-o DIR] [-l LOCALE] [-s WxH] [--] [COMMAND ARG...]
#
#   -o DIR     save DIR/NN-<window title>.png for every window that shows
#   -l LOCALE  run the command under LOCALE (LANG and LC_ALL), e.g. ru_RU.UTF-8
#   -s WxH     the screen's size (default 1280x1024)
#   SHOT_DELAY (seconds, default 0.8) lets a window paint before it is taken
#
# Examples: tools/on_screen.sh -o /tmp/shots -l ru_RU.UTF-8
#           tools/on_screen.sh -o /tmp/shots -- build/tests/app/test_app --gtest_filter='Blank*'
# Needs xvfb-run, openbox, xdotool, x11-utils (xprop), x11-apps (xwd) and ImageMagick
# (test.sh installs them). Exits with the command's exit code; 77 when a
# tool or the locale is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
shots="" locale="" size=1280x1024
if [ "${1:-}" != "--inside" ]; then
  while [ $# -gt 0 ]; do
    case "$1" in
      -o) shots=$2; shift 2 ;;
      -l) locale=$2; shift 2 ;;
      -s) size=$2; shift 2 ;;
      --) shift; break ;;
      -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || set -- "$here/${BUILD_DIR:-build}/luvora"
  for tool in xvfb-run xauth openbox xdotool xprop xwd convert; do
    command -v "$tool" >/dev/null || { echo "on_screen.sh: $tool is missing (test.sh installs it)" >&2; exit 77; }
  done
  if [ -n "$locale" ] && ! locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8/utf8/I')"; then
    echo "on_screen.sh: the locale $locale is not generated (test.sh generates it)" >&2
    exit 77
  fi
  if [ -n "$shots" ]; then
    mkdir -p "$shots"
    shots=$(cd "$shots" && pwd)
    rm -f "$shots"/*.png
  fi
  # A free display of its own, so that screen runs may go side by side.
  exec xvfb-run -a -s "-screen 0 ${size}x24 -nolisten tcp" "$0" --inside "$shots" "$locale" "$@"
fi

# On the virtual screen.
shift
shots=$1 locale=$2
shift 2
pids=()
stop() {
  local pid
  # The window manager does not always end on TERM; the virtual screen
  # goes with xvfb-run.
  for pid in "${pids[@]}"; do
    kill -KILL "$pid" 2>/dev/null || true
  done
}
trap stop EXIT

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
# The window manager announces itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

# Windows managed now, one id a line.
client_list() {
  xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -n 's/.*# //p' | tr -d ' ' | tr ',' '\n' | grep . || true
}

watch_windows() {
  local seen="" count=0 id name file
  while :; do
    local now
    now=$(client_list)
    for id in $now; do
      case " $seen " in *" $id "*) continue ;; esac
      # Give the window time to paint before it is taken.
      sleep "${SHOT_DELAY:-0.8}"
      name=$(xdotool getwindowname "$id" 2>/dev/null || echo window)
      name=$(printf '%s' "$name" | sed 's#[/[:space:]]\+#_#g' | cut -c1-60)
      count=$((count + 1))
      file=$(printf '%s/%02d-%s.png' "$shots" "$count" "$name")
      # Never stalls the screen for long: a window that goes while it is
      # taken is left out.
      if timeout 5 xwd -silent -frame -id "$id" -out "$file.xwd" 2>/dev/null; then
        timeout 10 convert "xwd:$file.xwd" "$file" 2>/dev/null || rm -f "$file"
      fi
      rm -f "$file.xwd"
    done
    # A window that goes away and shows again is taken again.
    seen=$(echo $now)
    sleep 0.1
  done
}
if [ -n "$shots" ]; then
  watch_windows &
  pids+=($!)
fi

if [ -n "$locale" ]; then
  export LANG=$locale LC_ALL=$locale
fi
export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit $status

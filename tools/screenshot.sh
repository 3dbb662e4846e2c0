#!/usr/bin/env bash
# Starts the window on a virtual X server (Xvfb), takes a screenshot of it and
# saves it as PNG. Builds the window first if it has not been built yet. The
# virtual server runs no window manager, so the picture is the client area
# alone, without a title bar. Given an archive, the window checks it and the
# picture shows the report viewer instead.
#
#   tools/screenshot.sh OUT.png [ARCHIVE]
set -euo pipefail
[ $# -eq 1 ] || [ $# -eq 2 ] || { echo "usage: tools/screenshot.sh OUT.png [ARCHIVE]" >&2; exit 2; }
archive=()
[ $# -eq 2 ] && archive=("$(cd "$(dirname "$2")" && pwd)/$(basename "$2")")
out="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
gui="$root/build/src/app/window/kenshin-check-gui"

"$root/tools/install-deps.sh" build screenshot

if [ ! -x "$gui" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" -j2 --target kenshin-check-gui >/dev/null
fi

work="$(mktemp -d)"
xvfb_pid=""
gui_pid=""
cleanup() {
  for pid in $gui_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# A black root window (-br), so that trimming leaves exactly the window.
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

# An empty home, so the window starts the way a new user sees it.
mkdir -p "$work/home/Desktop"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb \
  "$gui" "${archive[@]}" 2>"$work/gui.log" &
gui_pid=$!
if [ ${#archive[@]} -eq 1 ]; then
  for _ in $(seq 600); do [ -s "$work/home/Desktop/ERR.txt" ] && break; sleep 0.1; done
  [ -s "$work/home/Desktop/ERR.txt" ] || { echo "the check wrote no report:" >&2; cat "$work/gui.log" >&2; exit 1; }
fi

# Wait until something other than the black root is on the screen, then let it finish painting.
for _ in $(seq 100); do
  size="$(xwd -root -silent | convert xwd:- -trim -format '%wx%h' info: 2>/dev/null || true)"
  [ -n "$size" ] && [ "$size" != "1x1" ] && [ "$size" != "1024x768" ] && break
  kill -0 "$gui_pid" 2>/dev/null || { echo "the window did not start:" >&2; cat "$work/gui.log" >&2; exit 1; }
  sleep 0.1
done
sleep 1
xwd -root -silent | convert xwd:- -trim +repage -strip "$out"
echo "$out ($(convert "$out" -format '%wx%h' info:))"

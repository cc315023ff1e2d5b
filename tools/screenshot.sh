#!/usr/bin/env bash
# Takes the README's picture of the calculator: starts the built program in a virtual X server with
# openbox (through tests/run_under_x.sh), widens the window, types two calculations and an unfinished
# one so that the live row shows, then grabs the screen and crops it to the framed window.
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT]     (defaults: build, docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" != "--inside-x-server" ]]; then
  build=${1:-build}
  out=${2:-docs/screenshot.png}
  for tool in xdotool xwininfo import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool not found (tools/install-deps.sh test)" >&2; exit 1; }
  done
  [[ -x "$build/app/vesko-calc" ]] || { echo "$build/app/vesko-calc is not built" >&2; exit 1; }
  exec tests/run_under_x.sh "$0" --inside-x-server "$build" "$out"
fi
build=$2
out=$3

# The picture shows what the script types, neither restoring nor keeping the developer's history.
"$build/app/vesko-calc" --no-history 2>/dev/null &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT

wid=""
for ((tries = 0; tries < 200; tries++)); do
  wid=$(xdotool search --onlyvisible --name 'Vesko' 2>/dev/null | head -1 || true)
  [[ -n "$wid" ]] && break
  sleep 0.1
done
[[ -n "$wid" ]] || { echo "the calculator window did not appear within 20 seconds" >&2; exit 1; }

xdotool windowsize --sync "$wid" 460 260
xdotool windowactivate --sync "$wid"
sleep 0.5
type_slowly() { xdotool type --delay 60 "$1"; sleep 0.3; }
type_slowly '355/113'
xdotool key Return
type_slowly '(1+2)*3'
xdotool key Return
type_slowly '2^10-24*('
sleep 0.5

# The window manager's frame extents are left, right, top, bottom around the window's own area.
read -r left right top bottom < <(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
info=$(xwininfo -id "$wid")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
x=$(field 'Absolute upper-left X')
y=$(field 'Absolute upper-left Y')
width=$(field Width)
height=$(field Height)
import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
  +repage "$out"
echo "wrote $out"

#!/usr/bin/env bash
# Makes docs/editor.png, the README's picture of the editor: runs the editor
# under Xvfb on the demo ROM, shows the sprite "Hero" with the grid, paints a
# little with the tools and captures the screen. With a folder argument it
# also captures each tool's result there, for checking what a user sees.
#
# Needs a build (build/bin) and xvfb-run, xdotool and ImageMagick's import
# (Debian: apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
steps_dir=${1:-}

for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
[ -x build/bin/tessellane ] || { echo "screenshot.sh: build the editor first" >&2; exit 1; }

# Run again inside a virtual screen of 96 dpi, where 15 twips make a pixel.
if [ -z "${TESSELLANE_SCREEN:-}" ]; then
  TESSELLANE_SCREEN=1 exec xvfb-run -a -s "-screen 0 640x480x24 -dpi 96" "$0" "$@"
fi

work=$(mktemp -d)
editor=""  # set once the editor runs; the trap may fire before (a failed copy) under set -u
trap 'kill "$editor" 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/bin/demo.bin "$work/demo.bin"  # the editor never saves here, but keep the build's copy apart
QT_QPA_PLATFORM=xcb build/bin/tessellane "$work/demo.bin" &
editor=$!
window=$(xdotool search --sync --onlyvisible --name '^Tessellane \[')
xdotool windowmove --sync "$window" 0 0
sleep 1

# The client area is 621 x 448 pixels under the menu bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
menu=$((HEIGHT - 448))
pointer=""
at() {  # a point of the client area; --sync would wait forever for no move
  [ "$pointer" = "$1 $2" ] && return
  pointer="$1 $2"
  xdotool mousemove --sync "$1" $((menu + $2))
}
click() { at "$1" "$2"; xdotool click --repeat "${4:-1}" --delay 80 "${3:-1}"; }  # x y [button [count]]
# Sprite pixel (x, y) on the canvas at zoom 8, which sits at 168, 52.
canvas() { echo $((168 + 8 * $1 + 4)) $((52 + 8 * $2 + 4)); }
drag() {  # button, shift or "", from x y to x y
  at $(canvas "$3" "$4")
  [ -n "$2" ] && xdotool keydown "$2"
  xdotool mousedown "$1"
  for i in 1 2 3 4 5 6; do
    at $(canvas $(($3 + ($5 - $3) * i / 6)) $(($4 + ($6 - $4) * i / 6)))
  done
  xdotool mouseup "$1"
  [ -n "$2" ] && xdotool keyup "$2"
  sleep 0.2
}
palette() { click $((296 + 20 * $1 + 8)) 36 "$2"; }  # cell i; button 1 foreground, 3 background
shot() { sleep 0.5; import -window root -crop "${WIDTH}x${HEIGHT}+0+0" +repage "$1"; }
step() { if [ -n "$steps_dir" ]; then shot "$steps_dir/$1.png"; fi; }

# Open the first heading and double-click its first sprite, "Hero" (rows of
# the tree are 18 pixels high), then turn the grid on.
click 100 61
xdotool key Right
click 100 79 1 2
sleep 0.2
xdotool key --window "$window" ctrl+g
sleep 0.5
[ -n "$steps_dir" ] && mkdir -p "$steps_dir"

# The README's picture: the Selection tool's marquee around the head.
xdotool key m; drag 1 "" 3 1 12 9
mkdir -p docs
shot docs/editor.png

palette 12 1; palette 3 3
xdotool key b; drag 1 "" 1 0 14 0; step 1-pencil
xdotool key i; click $(canvas 5 15) 3; step 2-eyedropper-right
xdotool key r; drag 3 "" 0 16 15 16; step 3-color-replacer-right
xdotool key e; drag 1 "" 4 6 11 6; step 4-eraser
xdotool key s; drag 1 "" 13 10 15 14; step 5-spray
xdotool key g; click $(canvas 6 2); step 6-bucket
xdotool key u; drag 1 "" 0 23 15 19; drag 3 shift 1 10 3 13; step 7-shape
xdotool key m; drag 1 "" 3 1 12 9; drag 1 "" 7 5 9 7; step 8-selection-moved
xdotool key ctrl+z; step 9-undo
xdotool key ctrl+y; step 10-redo

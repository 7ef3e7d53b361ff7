#!/usr/bin/env bash
# Under openbox at 1280 x 1024: a layout saved on a larger screen (main
# window 1900 x 1150, the palette and the tile tool far right) comes wholly
# into view at the start, and Window > Reset layout puts the windows back at
# their first-start places. Layouts are read back through "Save layout now".
# Usage: window_into_view_x11.sh PROGRAM
# Exits 77 (skipped) without Xvfb, openbox or the X tools.
set -u
program="$1"
source "$(dirname "$0")/x11_session.sh"

start() {
    "$work/program/brixel" >"$work/brixel.log" 2>&1 &
    app_pid=$!
    wait_for 15 has_visible_window '^Brixel 0\.54$' || fail "the main window did not show"
    main="$(visible_window '^Brixel 0\.54$')"
    settled_rect "$main" >/dev/null || fail "the main window did not settle"
}
stop() {
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
    app_pid=""
}
# "Save layout now" in the options window, then OK.
save_layout() {
    open_options || fail "the options window did not open through the menu"
    [ -e "$config" ] && touch -d @0 "$config"
    xdotool key Tab Tab Tab space
    wait_for 5 written || fail "the layout file was not written"
    xdotool key Tab space
    wait_for 3 options_closed || fail "OK did not close the options window"
}
# A stored value in pixels (the file keeps twips) by its byte offset.
pixels() { echo $(($(config_value "$1") / 15)); }
palette_at() { echo "$(pixels 40) $(pixels 42)"; }

start
save_layout
stop
first_palette="$(palette_at)"

python3 - "$config" <<'PYTHON'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
def put(index, pixels):
    data[2 * index:2 * index + 2] = struct.pack("<h", pixels * 15)
put(2, 1900); put(3, 1150)   # main window, outer size
put(20, 1600)                # palette x
put(22, 1700)                # tile tool x
open(path, "wb").write(data)
PYTHON

start
save_layout
main_w="$(pixels 4)"
for window in "palette 40" "tile tool 44"; do
    x="$(pixels "${window##* }")"
    echo "${window% *} at x $x in a main window $main_w wide"
    [ "$main_w" -le 1280 ] || fail "the main window is $main_w wide on a 1280 screen"
    [ $((x + 100)) -le "$main_w" ] || fail "the ${window% *} stands at x $x, outside a main window $main_w wide"
done

# Window > Reset layout: the ninth menu, the eighteenth item.
xdotool windowactivate "$main"
wait_for 2 main_active
xdotool mousemove --window "$main" 15 10 click 1
wait_for 3 menu_open || fail "the menu bar did not open"
xdotool key --delay 50 Right Right Right Right Right Right Right Right
xdotool key --delay 30 --repeat 17 Down
xdotool key Return
sleep 0.5
save_layout
stop
echo "palette after Reset layout at $(palette_at), first start at $first_palette"
[ "$(palette_at)" = "$first_palette" ] || fail "Reset layout put the palette at $(palette_at), first start $first_palette"
echo "a layout from a larger screen came into view, and Reset layout restored the first places"

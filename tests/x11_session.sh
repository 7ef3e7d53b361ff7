# Sourced by the scripts that drive the real program under a window manager
# (openbox on Xvfb at 1280 x 1024): starts both, copies $program into a
# folder of its own (the layout file is kept beside it) and defines the
# helpers. Needs $program; skips (exit 77) when a tool is missing or the
# display or the window manager cannot be started.

skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}

for tool in Xvfb openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps installs it)"
done

work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
app_pid=""
cleanup() {
    for pid in $app_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a command every 50 ms until it succeeds, for at most $1 seconds.
wait_for() {
    local tries=$(($1 * 20))
    shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.05
    done
}

# Xvfb chooses a free display and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
display_ready() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
wait_for 10 display_ready
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wm_ready() { wm_running || ! kill -0 "$wm_pid" 2>/dev/null; }
wait_for 10 wm_ready
wm_running || skip "openbox did not start: $(tail -n 3 "$work/openbox.log")"

# The layout file is kept beside the program, so the program runs from a
# folder of its own.
mkdir "$work/program" "$work/config"
cp "$program" "$work/program/brixel" || fail "cannot copy $program"
config="$work/program/Brixel.cfg"
export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=xcb

# A window's outer rectangle, frame included: "X Y WIDTH HEIGHT", from its
# client area and the frame's widths the window manager reports.
outer_rect() {
    { xwininfo -id "$1" && xprop -id "$1" _NET_FRAME_EXTENTS; } 2>/dev/null | awk -F '[:=,]' '
        /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        /_NET_FRAME_EXTENTS/ { l = $2; r = $3; t = $4; b = $5; framed = 1 }
        END { if (framed && w != "") printf "%d %d %d %d\n", x - l, y - t, w + l + r, h + t + b }'
}
# Waits until a window's outer rectangle reads the same twice, 100 ms apart.
settled_rect() {
    local last="" now tries=40
    while [ "$tries" -gt 0 ]; do
        now="$(outer_rect "$1")"
        if [ -n "$now" ] && [ "$now" = "$last" ]; then
            echo "$now"
            return 0
        fi
        last="$now"
        tries=$((tries - 1))
        sleep 0.1
    done
    return 1
}
visible_window() { xdotool search --onlyvisible --name "$1" | head -n 1; }
has_visible_window() { [ -n "$(visible_window "$1")" ]; }
main_active() { [ "$(xdotool getactivewindow)" = "$main" ]; }
menu_open() {
    local window
    for window in $(xdotool search --onlyvisible --class '^brixel$'); do
        xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q '_MENU' && return 0
    done
    return 1
}
options_closed() { ! has_visible_window '^Options$'; }
# Keys reach the options window only once it is the active one: a slow
# start (a sanitizer build on a busy machine) shows it well before that.
options_active() { [ "$(xdotool getactivewindow)" = "$(visible_window '^Options$')" ]; }
# Whether the layout file was written since its time was set to 0.
written() { [ -e "$config" ] && [ "$(stat -c %Y "$config")" != 0 ]; }
# A 16-bit little-endian value of the layout file at a byte offset.
config_value() { od -An -t d2 -j "$1" -N 2 "$config" | tr -d ' '; }

# Help > Options through the menu bar: opens the first menu, steps right to
# "Help", whose first item is "Options".
open_options() {
    local attempt
    for attempt in 1 2 3; do
        xdotool windowactivate "$main"
        wait_for 2 main_active
        xdotool mousemove --window "$main" 15 10 click 1
        wait_for 3 menu_open || continue
        xdotool key Right Right Right Return
        if wait_for 3 has_visible_window '^Options$'; then
            wait_for 5 options_active && return 0
            xdotool windowactivate "$(visible_window '^Options$')"
            wait_for 3 options_active
            return
        fi
    done
    return 1
}
# Reads the main window's outer rectangle into main_x, main_y, main_w and
# main_h, and the options window's offset from its corner into offset.
measure_options() {
    local main_rect options_rect options_x options_y
    main_rect="$(settled_rect "$main")" && options_rect="$(settled_rect "$(visible_window '^Options$')")" || return 1
    read -r main_x main_y main_w main_h <<<"$main_rect"
    read -r options_x options_y _ _ <<<"$options_rect"
    offset="$((options_x - main_x)) $((options_y - main_y))"
}


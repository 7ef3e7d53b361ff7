#!/usr/bin/env bash
# Saves the layout and restarts the real program several times under a
# window manager (openbox on Xvfb), driving "Save layout now" through the
# menu and the options window with xdotool, and checks that every start
# restores the same main window size to the pixel (frame included, as the
# layout file stores it) and opens the options window at the same offset
# from the main window, wherever the main window was moved. Last, a start
# with a folder as the file checks that the "Could not open file" box opens
# centred over the main window where the window manager put it.
# Usage: window_geometry_x11.sh PROGRAM [CYCLES]
# Exits 77 (skipped) when Xvfb, openbox or the X tools are missing or the
# display or the window manager cannot be started.
set -u
program="$1"
cycles="${2:-10}"

# The display, the window manager, the program in a folder of its own and
# the helpers that drive it.
source "$(dirname "$0")/x11_session.sh"

first_size=""
first_offset=""
first_bytes=""
for cycle in $(seq 1 "$cycles"); do
    "$work/program/brixel" >"$work/brixel.log" 2>&1 &
    app_pid=$!
    wait_for 15 has_visible_window '^Brixel 0\.54$' || fail "cycle $cycle: the main window did not show"
    main="$(visible_window '^Brixel 0\.54$')"

    # Somewhere else on each start: the floating windows follow it.
    xdotool windowmove "$main" $((40 + 37 * cycle)) $((20 + 19 * cycle))
    rect="$(settled_rect "$main")" || fail "cycle $cycle: the main window did not settle after the move"
    read -r main_x main_y main_w main_h <<<"$rect"

    open_options || fail "cycle $cycle: the options window did not open through the menu"
    if [ "$cycle" -eq 1 ]; then
        # A place of the user's own, away from where it opens by default.
        xdotool windowmove "$(visible_window '^Options$')" $((main_x + 420)) $((main_y + 60))
    fi
    measure_options || fail "cycle $cycle: the options window did not settle"
    size="$main_w $main_h"

    # "Save layout now": the focus starts on the first check box; the button
    # is the fourth control.
    [ -e "$config" ] && touch -d @0 "$config"
    xdotool key Tab Tab Tab space
    wait_for 5 written || fail "cycle $cycle: the layout file was not written"
    stored="$(($(config_value 4) / 15)) $(($(config_value 6) / 15))"
    [ "$stored" = "$size" ] || fail "cycle $cycle: the file stores the main window as $stored, the screen shows $size"
    bytes="$(od -An -tx1 "$config" | tr -d ' \n')"

    echo "cycle $cycle: main window ${size/ /x} at $main_x,$main_y; options window at offset $offset"
    if [ "$cycle" -eq 1 ]; then
        first_size="$size"
        first_offset="$offset"
        first_bytes="$bytes"
    else
        [ "$size" = "$first_size" ] || fail "cycle $cycle: main window ${size/ /x}, first saved as ${first_size/ /x}"
        [ "$offset" = "$first_offset" ] ||
            fail "cycle $cycle: options window at offset $offset from the main window, saved at $first_offset"
        [ "$bytes" = "$first_bytes" ] || fail "cycle $cycle: the layout file changed: $bytes, first $first_bytes"
    fi

    if [ "$cycle" -eq 1 ]; then
        # Closed with OK (the control after the save button), the main
        # window moved, opened again: at the same offset.
        xdotool key Tab space
        wait_for 3 options_closed || fail "OK did not close the options window"
        xdotool windowmove "$main" 300 120
        settled_rect "$main" >/dev/null
        open_options || fail "the options window did not open again"
        saved="$offset"
        measure_options || fail "the options window did not settle"
        echo "opened again after the main window moved to $main_x,$main_y: offset $offset"
        [ "$offset" = "$saved" ] || fail "the options window opened again at offset $offset, was $saved"
    fi

    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
    app_pid=""
done
echo "$cycles save and restart cycles kept the same geometry"

"$work/program/brixel" "$work" >"$work/brixel.log" 2>&1 &
app_pid=$!
wait_for 15 has_visible_window '^Could not open file$' || fail "no message for a folder given as the file"
main="$(visible_window '^Brixel 0\.54$')"
box="$(visible_window '^Could not open file$')"
read -r main_x main_y main_w main_h <<<"$(settled_rect "$main")"
read -r box_x box_y box_w box_h <<<"$(settled_rect "$box")"
# Centred to within the difference of the two windows' frames.
dx=$(((2 * box_x + box_w) - (2 * main_x + main_w)))
dy=$(((2 * box_y + box_h) - (2 * main_y + main_h)))
echo "start-up message at $box_x,$box_y (${box_w}x$box_h) over the main window at $main_x,$main_y (${main_w}x$main_h)"
[ "${dx#-}" -le 8 ] && [ "${dy#-}" -le 8 ] || fail "the start-up message is not centred over the main window"

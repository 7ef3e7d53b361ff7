#!/usr/bin/env bash
# Runs the clipboard window tests on a real X display (Xvfb) against xclip,
# another program on the same clipboard. Exits 77 (skipped) when Xvfb or
# xclip is missing or the display cannot be started.
# Usage: clipboard_x11.sh UI_TEST_PROGRAM
set -u
program="$1"

skip() {
    echo "skipped: $*"
    exit 77
}

for tool in Xvfb xclip; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps installs it)"
done

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null && break
    sleep 0.05
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

# A skipped test would hide a display Qt cannot use: it must run and pass.
output="$(QT_QPA_PLATFORM=xcb "$program" --gtest_filter='ClipboardX11.*' 2>&1)"
status=$?
echo "$output"
[ "$status" -eq 0 ] || exit 1
grep -q '^\[  PASSED  \] 1 test' <<<"$output" || { echo "FAILED: the X11 clipboard test did not run"; exit 1; }
grep -q 'SKIPPED' <<<"$output" && { echo "FAILED: the X11 clipboard test was skipped"; exit 1; }
exit 0

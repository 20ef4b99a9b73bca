#!/bin/sh
# Starts tavik-demo on a virtual X server, clicks its "Apply" button with xdotool and checks the screenshot.
# usage: xvfb_smoke.sh <tavik-demo> <work folder>; exits 77 (skipped) when xvfb-run or xdotool is missing.
set -u
demo=$1
work=$2
if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v xdotool >/dev/null 2>&1; then
    echo "xvfb-run or xdotool is not installed"
    exit 77
fi
mkdir -p "$work"
shot=$work/smoke.png
log=$work/smoke.log
rm -f "$shot" "$log"

# Inside the server: start the demo, wait for its window, click "Apply" (client 90,98), wait for the exit.
xvfb-run -a -s "-screen 0 1600x900x24" sh -c '
    "$1" --screenshot-on-click "$2" --timeout 20 >"$3" 2>&1 &
    pid=$!
    # The search can name a window that is already gone; take the first whose position can be read.
    pos=""
    for i in $(seq 100); do
        for w in $(xdotool search --onlyvisible --name "TavikUI demo" 2>/dev/null); do
            pos=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n "s/^ *Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p")
            [ -n "$pos" ] && break 2
        done
        sleep 0.1
    done
    if [ -z "$pos" ]; then kill $pid; echo "no demo window" >>"$3"; exit 1; fi
    set -- $pos
    sleep 0.5
    # Separate commands: a click chained right after a move can be lost by the virtual server.
    xdotool mousemove $(($1 + 60)) $(($2 + 90))
    sleep 0.2
    xdotool mousemove $(($1 + 90)) $(($2 + 98))
    sleep 0.3
    xdotool click 1
    wait $pid
' smoke "$demo" "$shot" "$log"
status=$?
cat "$log"
[ $status -eq 0 ] || { echo "demo failed ($status)"; exit 1; }
grep -q "^clicked 10$" "$log" || { echo "the click did not reach the button"; exit 1; }
colours=$(sed -n 's/^screenshot colours //p' "$log")
[ -s "$shot" ] || { echo "no screenshot"; exit 1; }
[ "${colours:-0}" -ge 16 ] || { echo "screenshot looks blank ($colours colours)"; exit 1; }
echo "smoke test passed: $colours colours"

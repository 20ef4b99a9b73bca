#!/bin/sh
# Counts the context switches of a shown, static tavik-demo over 10 s (all its threads) on a virtual X server.
# usage: idle_wakeups.sh <tavik-demo>
set -u
demo=$1
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is not installed"; exit 77; }
xvfb-run -a -s "-screen 0 1600x900x24" sh -c '
    "$1" --timeout 30 >/dev/null 2>&1 &
    pid=$!
    switches() {
        total=0
        for f in /proc/$pid/task/*/status; do
            n=$(awk "/ctxt_switches/ { s += \$2 } END { print s }" "$f")
            total=$((total + n))
        done
        echo $total
    }
    sleep 3
    before=$(switches)
    sleep 10
    after=$(switches)
    kill $pid
    echo "context switches over 10 s: $((after - before)) ($(echo "scale=2; ($after - $before) / 10" | bc 2>/dev/null || echo "?") per second)"
' idle "$demo"

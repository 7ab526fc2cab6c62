#!/bin/bash
# A soak of the real monitor: about two minutes of ticks through every
# display state the queue and its jobs give (through the test-only spooler
# stand-in), show commands, USB notices and queue moves. Its kernel handle
# count and its resident memory, read from outside (the system's handle
# list through wintest, /proc of the Wine process), must not grow.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${SPOOLED_DIR:?}"
SOAK_SECONDS=${SOAK_SECONDS:-120}
MODEL="\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
# Allowed growth from the first measured cycle to the end.
HANDLE_SLACK=2 RSS_SLACK_KB=512
stop_all

# measure: prints "<kernel handles> <resident KB>" of the monitor.
measure() {
    local info rss
    info=$(wintest procinfo "$STATUS")
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$monitor/status" 2>/dev/null)
    info=${info#*handles=}
    echo "${info%% *} ${rss:-0}"
}
cycle() {  # one pass through the states, a show command, notices and a move
    local n=$1 state
    for state in "status 1|jobs" "status 0|jobs 18" "status 0|jobs 8208" "status 0|jobs"; do
        spooler_script "${state%%|*}" "${state##*|}"
        sleep 1.5
    done
    wintest command "$STATUS" $ID_TRAY_SHOW
    wintest device "$STATUS" 0x8000 5 "$MODEL" >/dev/null
    wintest device "$STATUS" 0x8000 2 >/dev/null
    wintest device "$STATUS" 0x8004 5 "$MODEL" >/dev/null
    if [ $((n % 3)) -eq 2 ]; then
        testqueue move "$QUEUE" "USB001"; sleep 1.5; testqueue move "$QUEUE" "COM1:"
    fi
    sleep 1
}

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
spooler_script "status 0" "jobs"
start_spooled_monitor monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "monitor runs" "Ready" 10

cycle 0                                   # warm-up: every path taken once
read -r handles0 rss0 < <(measure)
echo "first: handles=$handles0 rss=${rss0}KB"
start=$SECONDS n=1 peak_handles=$handles0
while [ $((SECONDS - start)) -lt "$SOAK_SECONDS" ]; do
    cycle $n
    read -r handles rss < <(measure)
    echo "cycle $n at $((SECONDS - start))s: handles=$handles rss=${rss}KB"
    [ "$handles" -gt "$peak_handles" ] && peak_handles=$handles
    n=$((n + 1))
done
spooler_script "status 0" "jobs"
sleep 3                                   # the last move's restart settles
read -r handles1 rss1 < <(measure)
echo "last: handles=$handles1 rss=${rss1}KB after $((n - 1)) cycles"

[ "$handles0" -gt 0 ] && pass "handle count read ($handles0)" || fail "no handle count"
[ "$rss0" -gt 0 ] && pass "resident memory read (${rss0}KB)" || fail "no resident memory"
[ "$handles1" -le $((handles0 + HANDLE_SLACK)) ] && pass "handles do not grow ($handles0 -> $handles1)" \
    || fail "handles grew: $handles0 -> $handles1"
[ "$rss1" -le $((rss0 + RSS_SLACK_KB)) ] && pass "memory does not grow (${rss0}KB -> ${rss1}KB)" \
    || fail "memory grew: ${rss0}KB -> ${rss1}KB"
title_becomes "still monitoring" "Ready" 10

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

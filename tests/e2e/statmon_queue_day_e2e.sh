#!/bin/bash
# The monitor over a shop's day with a real (Wine) queue: started before its
# queue exists it finds it once Setup has made it; a queue deleted under it
# turns into "No Printer Found" and, added back, into "Ready" again, each
# within seconds, without a click and without showing the window; a queue on
# a port whose name is 20 characters long (a second TCP/IP port of one
# address) is watched like a serial one, the monitor idle.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}"
stop_all

NOT_INSTALLED="KLR VX 7 Ember not installed."
IP_PORT="IP_192.168.100.123_1"

# cpu_ticks <pid>: user and system time of the process so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

testqueue delete "$QUEUE"
start_program "$STATMON_EXE" monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "no queue yet: No Printer Found" "No Printer Found" 10
check "not-installed message" "$NOT_INSTALLED" "$(wintest text "$STATUS" 1005)"

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
title_becomes "the queue made later is found without a click" "Ready" 10
check "ready message" "Ready to print." "$(wintest text "$STATUS" 1005)"

testqueue delete "$QUEUE" || fail "queue not deleted"
title_becomes "a deleted queue: No Printer Found" "No Printer Found" 10
check "not-installed message" "$NOT_INSTALLED" "$(wintest text "$STATUS" 1005)"
check "no pop-up for it" 0 "$(wintest visible "$STATUS")"

testqueue create "$QUEUE" "COM2:" || fail "test queue not created again"
title_becomes "the queue added back: Ready again" "Ready" 10
check "ready message again" "Ready to print." "$(wintest text "$STATUS" 1005)"
check "still hidden" 0 "$(wintest visible "$STATUS")"

testqueue move "$QUEUE" "$IP_PORT" || fail "queue not moved to $IP_PORT"
sleep 3
check "a queue on $IP_PORT: Ready" "Ready" "$(wintest text "$STATUS" 1004)"
before=$(cpu_ticks "$monitor")
sleep 10
after=$(cpu_ticks "$monitor")
ticks_per_s=$(getconf CLK_TCK)
# A restart every tick costs the monitor most of a core; watching costs
# next to nothing. Under 10 % of a core over ten seconds.
used=$(( after - before ))
[ -n "$before" ] && [ -n "$after" ] && [ "$used" -lt "$ticks_per_s" ] &&
    pass "idle on $IP_PORT ($used of $((10 * ticks_per_s)) ticks)" ||
    fail "busy on $IP_PORT: $used clock ticks in 10 s"
check "still Ready" "Ready" "$(wintest text "$STATUS" 1004)"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

#!/bin/bash
# The monitor against a spooler that misbehaves as Windows' can (played in by
# the tests' spooler stand-in): a queue reported pending deletion counts as
# gone; a queue read that hangs leaves the window and the tray answering,
# and Exit still ends the monitor within seconds.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${SPOOLED_DIR:?}"
stop_all

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
spooler_script "status 0" "jobs"
start_spooled_monitor monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "idle queue: Ready" "Ready" 10

spooler_script "status 4" "jobs"                  # PRINTER_STATUS_PENDING_DELETION
title_becomes "a queue pending deletion: No Printer Found" "No Printer Found" 10
check "not-installed message" "KLR VX 7 Ember not installed." "$(wintest text "$STATUS" 1005)"
spooler_script "status 0" "jobs"                  # a queue of that name again
title_becomes "the queue back: Ready again" "Ready" 10

# The spooler holds the next queue read for as long as the script stays.
spooler_script "status 0" "jobs" "hold-after 0"
tick_held 15 || fail "the queue read is not held"
check "the window answers while the read hangs" 1 "$(wintest responds "$STATUS" 3000)"
wintest command "$STATUS" $ID_TRAY_SHOW
becomes "the tray's show command still shows it" 1 5 visible "$STATUS"
wintest click "$STATUS" $IDC_OK
becomes "and Ok hides it" 0 5 visible "$STATUS"
wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 10; check "Exit ends the monitor during the hanging read" 0 "$exit_status"
spooler_script "status 0" "jobs"
testqueue delete "$QUEUE"
finish

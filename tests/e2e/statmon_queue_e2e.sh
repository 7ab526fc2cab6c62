#!/bin/bash
# The monitor watching a real (Wine) queue named after the model: ready on a
# serial port, the Searching phase on show, rediscovery when the queue moves.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}"
stop_all

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
start_program "$STATMON_EXE" monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "queue on COM1: is Ready" "Ready" 10
check "ready message" "Ready to print." "$(wintest text "$STATUS" 1005)"
check "no pop-up for Ready" 0 "$(wintest visible "$STATUS")"

wintest command "$STATUS" $ID_TRAY_SHOW
title_becomes "show begins the Searching phase" "Searching" 3
check "searching message" "Searching the printer..." "$(wintest text "$STATUS" 1005)"
title_becomes "after Searching the state is shown again" "Ready" 8
sleep 4
check "serial queue: no automatic hide" 1 "$(wintest visible "$STATUS")"

testqueue move "$QUEUE" "USB001" || fail "queue not moved"
title_becomes "moved queue rediscovered as USB" "Communication Error" 8
message=$(wintest text "$STATUS" 1005)
check "unplugged USB printer message" "Printer is not connected or switched OFF." "${message%%$'\n'*}"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

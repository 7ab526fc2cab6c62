#!/bin/bash
# The monitor watching a real (Wine) queue named after the model: ready on a
# serial port, the Searching phase on show, rediscovery when the queue moves.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}"
STATUS="KLR VX 7 Ember - Status Monitor"
QUEUE="KLR VX 7 Ember"
ID_TRAY_SHOW=101 ID_TRAY_EXIT=104
testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" >/dev/null 2>&1; }
# title_becomes <text> <seconds>: waits until the title shows the text.
title_becomes() {
    local i
    for ((i = 0; i < $2 * 4; i++)); do
        [ "$(wintest text "$STATUS" 1004)" = "$1" ] && return 0
        sleep 0.25
    done
    return 1
}
stop_all

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
start_program "$STATMON_EXE" monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "Ready" 10 && pass "queue on COM1: is Ready" || fail "title: $(wintest text "$STATUS" 1004)"
check "ready message" "Ready to print." "$(wintest text "$STATUS" 1005)"
check "no pop-up for Ready" 0 "$(wintest visible "$STATUS")"

wintest command "$STATUS" $ID_TRAY_SHOW
title_becomes "Searching" 3 && pass "show begins the Searching phase" || fail "no Searching"
check "searching message" "Searching the printer..." "$(wintest text "$STATUS" 1005)"
title_becomes "Ready" 8 && pass "after Searching the state is shown again" || fail "Searching did not end"
sleep 4
check "serial queue: no automatic hide" 1 "$(wintest visible "$STATUS")"

testqueue move "$QUEUE" "USB001" || fail "queue not moved"
title_becomes "Communication Error" 8 && pass "moved queue rediscovered as USB" || fail "no rediscovery: $(wintest text "$STATUS" 1004)"
message=$(wintest text "$STATUS" 1005)
check "unplugged USB printer message" "Printer is not connected or switched OFF." "${message%%$'\n'*}"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

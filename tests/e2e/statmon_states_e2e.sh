#!/bin/bash
# The display states of the queue and its jobs in the real monitor: a paused
# queue and a job in error pop the window up; a retained job printing shows
# "Printing" and hides the window again on the fourth tick (counted), taking back the
# permission to show, so that a later Ready stays hidden. Wine's spooler can
# neither pause a queue nor list jobs: the test-only spooler stand-in
# reports the scripted status words (tests/standin).
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${SPOOLED_DIR:?}"
PAUSE_MESSAGE=$'"Pause Printing" is selected in KLR VX 7 Ember driver.\nGoto "Printer and Faxes" folder, right click and choose "Resume Printing"'
JOB_ERROR_MESSAGE="Check all connections and make sure all device is turned ON. If the power was turned off during printing, cancel the print job."
PRINTING_MESSAGE=$'Printing...\n(Window will minimize in 2sec...)'
stop_all

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
spooler_script "status 0" "jobs"
start_spooled_monitor monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "idle queue: Ready" "Ready" 10
check "Ready stays hidden" 0 "$(wintest visible "$STATUS")"

spooler_script "status 1" "jobs"                  # PRINTER_STATUS_PAUSED
message_becomes "paused queue: the pause message" "$PAUSE_MESSAGE" 3
check "titled Communication Error" "Communication Error" "$(wintest text "$STATUS" 1004)"
check "and popped up" 1 "$(wintest visible "$STATUS")"
colour_becomes "error title in grey" "$GREY"
wintest click "$STATUS" $IDC_OK
becomes "Ok hides it" 0 5 visible "$STATUS"
wintest show "$STATUS"
becomes "while showing is allowed the window can be shown" 1 5 visible "$STATUS"
wintest click "$STATUS" $IDC_OK
wintest_rc until 0 5000 visible "$STATUS" || fail "Ok does not hide it"

spooler_script "status 0" "jobs 16 18 8208"       # the job in error stops the walk
message_becomes "job in error: the one-line message" "$JOB_ERROR_MESSAGE" 3
check "titled Communication Error" "Communication Error" "$(wintest text "$STATUS" 1004)"
check "and popped up" 1 "$(wintest visible "$STATUS")"
colour_becomes "error title in grey" "$GREY"

# A retained job printing: "Printing" shows the window and hides it on the
# fourth tick in the state. The stand-in holds the monitor's tick once it
# has answered three queue reads in the state, and again after the fourth
# (hold-after), so the window is seen as exactly that many ticks left it,
# however slow the machine.
spooler_script "status 0" "jobs 8208" "hold-after 3"      # PRINTING | RETAINED
tick_held 15 || fail "the monitor does not tick"
check "shown for three ticks" 1 "$(wintest visible "$STATUS")"
colour_becomes "Printing in blue" "$BLUE"
spooler_script "status 0" "jobs 8208" "hold-after 1"
tick_held 10 || fail "the monitor does not tick"
check "hidden on the fourth tick" 0 "$(wintest visible "$STATUS")"
spooler_script "status 0" "jobs 8208"
check "titled Printing" "Printing" "$(wintest text "$STATUS" 1004)"
check "with the printing message" "$PRINTING_MESSAGE" "$(wintest text "$STATUS" 1005)"
wintest show "$STATUS"; sleep 0.5
check "the permission to show is taken back" 0 "$(wintest visible "$STATUS")"

spooler_script "status 0" "jobs"
title_becomes "job done: Ready" "Ready" 3
sleep 1
check "Ready does not pop the window up" 0 "$(wintest visible "$STATUS")"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

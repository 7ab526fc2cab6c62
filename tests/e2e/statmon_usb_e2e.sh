#!/bin/bash
# The USB printer's presence in the real monitor: a queue on USB001 shows the
# unplugged printer until the system's arrival notice of the model's device
# comes, and again after its removal notice; notices of anything else change
# nothing, and a posted notice with a stray lParam is not read. Wine has no USB printer: the test sends the notices the system
# would send (WM_DEVICECHANGE with a device-interface record).
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}"
ARRIVAL=0x8000 QUERY_REMOVE=0x8001 REMOVE_COMPLETE=0x8004 NODES_CHANGED=0x0007
INTERFACE=5 VOLUME=2 NO_RECORD=0
USB_CLASS="{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
MODEL="\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#$USB_CLASS"
MODEL_LOWER="\\\\?\\usb#vid_ffa7&pid_8246#vx7ember#$USB_CLASS"
OTHER_SERIAL="\\\\?\\USB#VID_FFA7&PID_8246#VX5FLINT#$USB_CLASS"
USB_MESSAGE=$'Printer is not connected or switched OFF.\nEnsure USB cable is connected properly and the printer is switched ON.'
notice() { wintest device "$STATUS" "$@"; }
stop_all
no_crash_debugger

testqueue create "$QUEUE" "USB001" || fail "test queue not created"
start_program "$STATMON_EXE" monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
monitor_pid=$(wintest pid "$STATUS")
title_becomes "no USB printer found at start: Communication Error" "Communication Error" 10
check "with the USB message" "$USB_MESSAGE" "$(wintest text "$STATUS" 1005)"
check "without popping up" 0 "$(wintest visible "$STATUS")"
wintest command "$STATUS" $ID_TRAY_SHOW
title_becomes "the window opened from the tray searches" "Searching" 3
title_becomes "then shows the unplugged printer again" "Communication Error" 8
colour_becomes "error title in grey" "$GREY"

answers=$(notice $ARRIVAL $INTERFACE "$OTHER_SERIAL"; notice $QUERY_REMOVE $INTERFACE "$MODEL"
          notice $ARRIVAL $VOLUME; notice $NODES_CHANGED $NO_RECORD)
check "other notices are answered 0" "0 0 0 0" "$(echo $answers)"
sleep 2.5
check "another serial or event changes nothing" "Communication Error" "$(wintest text "$STATUS" 1004)"
check "a posted notice with a stray lParam: the monitor still answers" 1 "$(stray_notices "$STATUS")"
check "and still runs" 1 "$(wintest alive "$monitor_pid")"

check "the model's arrival is answered 0" 0 "$(notice $ARRIVAL $INTERFACE "$MODEL_LOWER")"
title_becomes "plugged in: Ready on the next tick" "Ready" 3
check "ready message" "Ready to print." "$(wintest text "$STATUS" 1005)"
colour_becomes "Ready in blue" "$BLUE"
notice $REMOVE_COMPLETE $INTERFACE "$OTHER_SERIAL" >/dev/null
sleep 2.5
check "another serial's removal changes nothing" "Ready" "$(wintest text "$STATUS" 1004)"

check "the model's removal is answered 0" 0 "$(notice $REMOVE_COMPLETE $INTERFACE "$MODEL")"
title_becomes "unplugged: Communication Error again" "Communication Error" 3
check "with the USB message" "$USB_MESSAGE" "$(wintest text "$STATUS" 1005)"
colour_becomes "in grey again" "$GREY"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

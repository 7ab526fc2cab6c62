#!/bin/bash
# Setup end to end on the USB path: the connection wait ignores removals,
# other devices and notices without a record (also posted ones with a stray
# lParam), and installs on the USB port
# the system gave the model's printer when it arrives. The system's side is
# test set-up: the "Port Number" and the port USB001 written as Windows'
# USB printing support would, the arrival sent to the dialog as Windows
# would. Without a "Port Number" the user is told to connect the printer.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/setup_lib.sh"
USB_CLASS="{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
MODEL_PATH="\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#$USB_CLASS"
DBT_DEVICEARRIVAL=0x8000 DBT_DEVICEREMOVECOMPLETE=0x8004 DBT_DEVNODES_CHANGED=7
clean_machine
no_crash_debugger

# to_connection_wait: a fresh Setup, OK, the connection wait shown.
to_connection_wait() {
    start_setup setup
    shown "$MAIN" 30 || fail "no main dialog"
    wintest click "$MAIN" $IDOK
    shown "$CONNECTION" 30 || fail "no connection wait"
}

# The printer has been set up by the system: its USB port and the number.
reg add "$USB_PARAMETERS" /v "Port Number" /t REG_DWORD /d 1 /f
reg add "$SPOOLER_PORTS" /v USB001 /t REG_SZ /d "" /f
to_connection_wait
check "removal of the model: nothing" 0 "$(wintest notice "$CONNECTION" $DBT_DEVICEREMOVECOMPLETE "$MODEL_PATH")"
check "arrival of another model's serial: nothing" 0 \
    "$(wintest notice "$CONNECTION" $DBT_DEVICEARRIVAL "\\\\?\\USB#VID_FFA7&PID_8246#VX5#$USB_CLASS")"
check "a notice without a record: nothing" 0 "$(wintest notice "$CONNECTION" $DBT_DEVNODES_CHANGED)"
check "arrival of another device type: nothing" 0 "$(wintest notice "$CONNECTION" $DBT_DEVICEARRIVAL "$MODEL_PATH" 2)"
check "a posted notice with a stray lParam: Setup still answers" 1 "$(stray_notices "$CONNECTION")"
sleep 0.5
check "still waiting" 1 "$(wintest visible "$CONNECTION")"
wintest_rc shown "$PLEASE_WAIT" 20000 &
please_wait=$!
sleep 1
check "the arrival (in lower case) runs the installation" pending \
    "$(wintest notice "$CONNECTION" $DBT_DEVICEARRIVAL "$(echo "$MODEL_PATH" | tr 'A-Z' 'a-z')")"
check "the connection wait ended" 0 "$(wintest visible "$CONNECTION")"
wait $please_wait && pass "the please-wait window is shown" || fail "no please-wait window"
check "result message" "$CAPTION|$MODEL Printer Driver & Status Monitor installed successfully.|OK" "$(message 60)"
answer $IDOK
wait_exit "$setup" 30; check "Setup ends after the result" 0 "$exit_status"
check "queue on USB001" "USB001" "$(testqueue port "$MODEL")"
check "it is the default printer" "$MODEL" "$(testqueue default -)"
wintest_rc wait "$STATUS" 20000; check "the monitor runs" 1 "$(wintest count "$STATUS")"

# No "Port Number": the printer is not set up properly. The installation
# then names no port the spooler knows and fails after its bounded wait of a
# minute.
clean_machine
to_connection_wait
check "arrival" pending "$(wintest notice "$CONNECTION" $DBT_DEVICEARRIVAL "$MODEL_PATH")"
check "the user is told, under the program's own name" "Setup|Please connect printer properly|OK" "$(message 30)"
answer $IDOK
check "the printer creation fails" "$CAPTION|Unexpected error 0x003C occured.|OK" "$(message 90)"
answer $IDOK
wait_exit "$setup" 30; check "Setup ends" 0 "$exit_status"
check "no queue" "" "$(testqueue port "$MODEL")"

clean_machine
finish

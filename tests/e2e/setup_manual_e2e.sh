#!/bin/bash
# Setup end to end on the manual path: the main dialog, OK, the connection
# wait, Manual, the port list with LPT1: proposed, COM1: chosen, OK, the
# result; afterwards the queue on COM1: is the default printer, the monitor
# runs in its own folder, the Run value, shortcut and uninstall entry are
# there, the port driver service waits for a later parallel port, and Setup
# has taken the download mark off every file it installed. A second run
# over the installation makes the first copy of the queue.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/setup_lib.sh"
: "${PORT_DRIVER_IMAGE:?}"
clean_machine

# What Setup asks of the service manager and the file system is traced
# (fixme:service, trace:file) for this first run.
setup_trace=${KLRN_TEST_TMP:-/tmp}/setup-trace-$$.log
(cd "$SETUP_MEDIUM" && WINEDEBUG=-all,err+all,fixme+service,trace+file WINEDLLOVERRIDES=$SETUP_OVERRIDES \
    exec "$WINE_RUN" Setup.exe >/dev/null 2>"$setup_trace") &
setup=$!
shown "$MAIN" 30 || fail "no main dialog"
check "version text" "Version 3.01 (9W)" "$(wintest text "$MAIN" 1009)"
check "the model item" "$MODEL" "$(wintest lvtext "$MAIN" 1001 0)"
check "the model item is selected and focused" 3 "$(wintest lvstate "$MAIN" 1001 0)"
check "please-wait window hidden after its flash" 0 "$(wintest visible "$PLEASE_WAIT")"
wintest lclick "$MAIN" 1001 360 120
becomes "a click on empty list space disables OK" 0 wintest enabled "$MAIN" $IDOK
wintest lclick "$MAIN" 1001 175 40
becomes "a click on the model enables it again" 1 wintest enabled "$MAIN" $IDOK

wintest click "$MAIN" $IDOK
shown "$CONNECTION" 30 || fail "no connection wait after OK"
check "the main dialog is hidden" 0 "$(wintest visible "$MAIN")"
check "connection text" "Please connect the printer to computer, then turn the printer ON. The utility will search the printer and automatically configure the USB port." "$(wintest text "$CONNECTION" 1020)"
wintest click "$CONNECTION" $IDC_MANUAL
shown "$PORTS" 30 || fail "no port selection after Manual"
check "the connection wait is hidden" 0 "$(wintest visible "$CONNECTION")"
check "ports in the spooler's order" "COM1: (Local Port),COM2: (Local Port),COM3: (Local Port),COM4: (Local Port),FILE: (Local Port),LPT1: (Local Port),LPT2: (Local Port),LPT3: (Local Port)" "$(wintest items "$PORTS" $IDC_PORT_LIST | paste -sd,)"
check "LPT1: proposed" 5 "$(wintest selected "$PORTS" $IDC_PORT_LIST)"
check "and shown as the current port" "LPT1: (Local Port)" "$(wintest text "$PORTS" $IDC_CURRENT_PORT)"
wintest select "$PORTS" $IDC_PORT_LIST 0
becomes "the chosen port replaces it" "COM1: (Local Port)" wintest text "$PORTS" $IDC_CURRENT_PORT

wintest click "$PORTS" $IDC_PORT_OK
check "result message" "$CAPTION|$MODEL Printer Driver & Status Monitor installed successfully.|OK" "$(message 60)"
check "every dialog hidden under the result" 0 "$(($(wintest visible "$PORTS") + $(wintest visible "$MAIN") + $(wintest visible "$PLEASE_WAIT")))"
answer $IDOK
wait_exit "$setup" 30; check "Setup ends after the result" 0 "$exit_status"

check "queue on COM1:" "COM1:" "$(testqueue port "$MODEL")"
check "it is the default printer" "$MODEL" "$(testqueue default -)"
wintest_rc wait "$STATUS" 20000; check "the monitor runs" 1 "$(wintest count "$STATUS")"
run=$(reg_value "$RUN_KEY" KLRNVX7EMBER)
check "Run value: the monitor without extension" "STM\\VX7EMBER" "${run#*\\spool\\drivers\\*\\}"
[ -f "$SHORTCUT" ] && pass "Start-menu shortcut" || fail "no shortcut $SHORTCUT"
uninstall=$(reg_value "$UNINSTALL_KEY" UninstallString)
check "uninstall entry in the driver directory" "${run%\\STM\\VX7EMBER}\\Uninstall.exe" "$uninstall"
check "uninstall entry name" "Kelrona Printer Software" "$(reg_value "$UNINSTALL_KEY" DisplayName)"
EVENT_SOURCE='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\KLR VX 7 Ember Status Monitor'
check "event source: the installed monitor's messages" "${run}.exe" "$(reg_value "$EVENT_SOURCE" EventMessageFile)"
check "event source: errors, warnings, information" "0x7" "$(reg_value "$EVENT_SOURCE" TypesSupported)"
# Started elevated by Setup: in its own folder, not on the medium.
check "the monitor runs in its own folder" "${run%\\VX7EMBER}\\" "$(wintest cwd "$STATUS")"
# The queue is on COM1:, yet the driver service is there for a later move
# to a parallel port, loaded on demand; its file is the monitor's image.
check "port driver service: a kernel driver started on demand" "1|3|System32\\Drivers\\hwinterface.sys" \
    "$(wintest service hwinterface)"
cmp -s "$system32/drivers/hwinterface.sys" "$PORT_DRIVER_IMAGE" &&
    pass "the driver file is the monitor's image" || fail "driver file missing or not the monitor's image"
# Wine keeps no service security (SetServiceObjectSecurity stores nothing
# there, and the descriptor read back is always empty): the trace shows
# that Setup set the service's DACL (DACL_SECURITY_INFORMATION, 4).
grep -Eq 'fixme:service:SetServiceObjectSecurity [^ ]+ 4 ' "$setup_trace" &&
    pass "Setup gave the service its security" || fail "no SetServiceObjectSecurity of the DACL"
# Wine's files have no alternate data streams: the trace shows Setup taking
# the download mark off every file it installed.
for file in $(cd "$SETUP_MEDIUM" && ls | grep -iE '\.(gpd|dll|inf|hlp|cat|exe)$') "STM\\VX7EMBER.exe"; do
    grep -F 'DeleteFileW' "$setup_trace" | grep -qiF "\\${file//\\/\\\\}:Zone.Identifier" &&
        pass "download mark removed: $file" || fail "download mark not removed: $file"
done
rm -f "$setup_trace"

# Over the installation: Enter takes the defaults, LPT1: is installed as a copy.
stop_all
start_setup setup
shown "$MAIN" 30 || fail "no main dialog on the second run"
wintest key "$MAIN" $VK_RETURN
shown "$CONNECTION" 30 || fail "Enter does not start the flow"
wintest key "$CONNECTION" $VK_RETURN
shown "$PORTS" 30 || fail "Enter does not press Manual"
wintest key "$PORTS" $VK_RETURN
check "second run: a copy" "$CAPTION|$MODEL (Copy 1) Printer Driver installed successfully.|OK" "$(message 60)"
answer $IDOK
wait_exit "$setup" 30; check "second Setup ends" 0 "$exit_status"
check "the copy on LPT1:" "LPT1:" "$(testqueue port "$MODEL (Copy 1)")"
check "the copy is the default printer" "$MODEL (Copy 1)" "$(testqueue default -)"
check "the first queue stays on COM1:" "COM1:" "$(testqueue port "$MODEL")"

clean_machine
finish

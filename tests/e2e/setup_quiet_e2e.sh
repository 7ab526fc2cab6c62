#!/bin/bash
# Setup and Uninstall unattended, as a deployment tool runs them: the full
# exit codes (read on the Windows side: a Linux parent sees only their low
# 8 bits), no window at any time, the log. The refusals Wine can produce
# (a bad command line, a port the spooler does not list, no USB printer,
# another Setup running, not Windows 8) change nothing. A quiet install on
# a named port, started from another folder, leaves what the dialog flow
# leaves but does not start the monitor; the entry's QuietUninstallString
# then takes everything away again, the running monitor included.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/setup_lib.sh"
clean_machine
temp=$KLRN_WINEPREFIX/drive_c/windows/temp
SETUP_LOG="$temp/KLRN Setup VX7EMBER.log" UNINSTALL_LOG="$temp/KLRN Uninstall.log"
rm -f "$SETUP_LOG" "$UNINSTALL_LOG"
# The Windows path of a file of the Linux tree (Wine's drive Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
setup_exe=$(winpath "$SETUP_MEDIUM/Setup.exe")
# quiet <command line>: runs it from a folder of its own, prints "exit=CODE
# windows=N" (without the diagnostic lines the programs write to standard
# output, which they share with wintest).
quiet() {
    (cd "${KLRN_TEST_TMP:-/tmp}" && WINEDLLOVERRIDES=$SETUP_OVERRIDES \
        "$WINE_RUN" "$WINTEST_EXE" exec 240000 "$1" 2>>"$wine_log" | tr -d '\r' | grep '^exit=')
}
# Nothing of the installation is on the machine.
untouched() {
    check "$1: no queue" "" "$(testqueue port "$MODEL")"
    check "$1: no Run value" "" "$(reg_value "$RUN_KEY" KLRNVX7EMBER)"
    check "$1: no uninstall entry" "" "$(reg_value "$UNINSTALL_KEY" DisplayName)"
    [ -z "$(ls "$KLRN_WINEPREFIX"/drive_c/windows/system32/spool/drivers/*/STM/* 2>/dev/null)" ] ||
        fail "$1: a monitor program is there"
}
# has_line <file> <text>: the log has a line that ends with the text.
has_line() { tr -d '\r' <"$1" | grep -qF -- "$2" && pass "log: $2" || fail "log of $1 lacks [$2]"; }

check "/? quiet: no box" "exit=0 windows=0" "$(quiet "$setup_exe /q /?")"
check "an unknown switch" "exit=87 windows=0" "$(quiet "$setup_exe /quiet /port=COM1: /silent")"
check "/quiet without /port" "exit=87 windows=0" "$(quiet "$setup_exe -QUIET")"
check "a log that cannot be written" "exit=87 windows=0" "$(quiet "$setup_exe /q /port=COM1: /log=Q:\\no\\such.log")"
check "a port the spooler does not list" "exit=1796 windows=0" "$(quiet "$setup_exe /quiet /port=LPT9:")"
has_line "$SETUP_LOG" "Setup: port LPT9:: refused: The port LPT9: is not a port of this computer."
has_line "$SETUP_LOG" "Setup: Setup ended: exit code 1796"
# A relative log is taken in the folder Setup was started in, also after
# Setup has moved to its own.
check "no USB printer" "exit=1168 windows=0" "$(quiet "$setup_exe /quiet /port=usb /log=usb.log")"
has_line "$KLRN_TEST_TMP/usb.log" "Setup: Setup ended: exit code 1168"
reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win7 /f
check "not Windows 8" "exit=1633 windows=0" "$(quiet "$setup_exe /quiet /port=COM1:")"
reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win8 /f
start_setup dialog
shown "$MAIN" 30 || fail "no main dialog"
check "another Setup runs" "exit=1618 windows=0" "$(quiet "$setup_exe /quiet /port=COM1:")"
uninstall_exe=$(winpath "$SETUP_MEDIUM/Uninstall.exe")
check "Uninstall beside Setup" "exit=1618 windows=0" "$(quiet "$uninstall_exe /quiet")"
stop_all
untouched "after the refusals"
[ -z "$(ls "$KLRN_WINEPREFIX"/drive_c/windows/system32/spool/drivers/*/Setup.exe 2>/dev/null)" ] &&
    pass "after the refusals: no driver file copied" || fail "the refusals copied the driver files"

log_file=$KLRN_TEST_TMP/till.log
check "quiet install on a named port" "exit=0 windows=0" \
    "$(quiet "$setup_exe /Quiet /port=com1: \"/log=$(winpath "$log_file")\"")"
has_line "$log_file" "Setup: port: COM1:"
has_line "$log_file" "Setup: printer \"$MODEL\" on COM1: as the default printer: done"
has_line "$log_file" "Setup: status monitor start: left to the next log-on"
has_line "$log_file" "Setup: Setup ended: exit code 0"
check "queue on COM1:" "COM1:" "$(testqueue port "$MODEL")"
check "it is the default printer" "$MODEL" "$(testqueue default -)"
run=$(reg_value "$RUN_KEY" KLRNVX7EMBER)
check "Run value" "STM\\VX7EMBER" "${run#*\\spool\\drivers\\*\\}"
[ -f "$SHORTCUT" ] && pass "Start-menu shortcut" || fail "no shortcut $SHORTCUT"
quiet_uninstall=$(reg_value "$UNINSTALL_KEY" QuietUninstallString)
check "QuietUninstallString" "\"${run%\\STM\\VX7EMBER}\\Uninstall.exe\" /quiet" "$quiet_uninstall"
check "the monitor was not started" 0 "$(wintest count "$STATUS")"

# The monitor as the user's log-on starts it; the quiet uninstall ends it.
start_program "$KLRN_WINEPREFIX/drive_c/${run#C:\\}.exe" monitor
wintest_rc wait "$STATUS" 30000 || fail "the installed monitor does not run"
check "quiet uninstall" "exit=0 windows=0" "$(quiet "$quiet_uninstall")"
has_line "$UNINSTALL_LOG" "Uninstall: running Status Monitor of $MODEL: removed"
has_line "$UNINSTALL_LOG" "Uninstall: Uninstall ended: exit code 0"
untouched "after the quiet uninstall"
check "no monitor left" 0 "$(wintest count "$STATUS")"
[ -f "$SHORTCUT" ] && fail "the shortcut stays" || pass "no shortcut"
check "a bad switch of Uninstall" "exit=87 windows=0" "$(quiet "$uninstall_exe /q /port=COM1:")"

clean_machine
rm -f "$SETUP_LOG" "$UNINSTALL_LOG"
finish

#!/bin/bash
# Uninstall.exe over an installation made by Setup's installer (the
# installer's test program, from a copy of the test medium that carries the
# real monitor and uninstaller): No changes nothing; a second uninstaller
# is refused while one runs; Yes ends the monitor and takes away the
# model's queues, driver, start entry, shortcut, monitor and uninstall
# entry, while another driver's queue and the shared files stay. A run
# after that finds nothing.
#
# Wine's spooler refuses the driver deletion flag Windows takes: the
# uninstaller runs against the tests' spooler stand-in (tests/standin), put
# into the prefix's system32 for the test (the uninstaller takes
# winspool.drv from there only).
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${UNINSTALL_EXE:?}" "${INSTALLER_DRIVER_EXE:?}" "${SPOOLER_STANDIN:?}"
MODEL="KLR VX 7 Ember" CODE=VX7EMBER
STATUS="$MODEL - Status Monitor"
CAPTION="KLRN Printer Driver - Setup"
OTHER="Back Office"
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelrona'
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
drive_c=$WINEPREFIX/drive_c
drivers=$drive_c/windows/system32/spool/drivers/$spool_env
start_menu="$drive_c/Documents and Settings/All Users/Start Menu/Programs"
medium=$KLRN_BINARY_DIR/uninstall-e2e-medium
out=$KLRN_BINARY_DIR/uninstall-e2e.out

testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" 2>/dev/null | tr -d '\r'; }
testqueue_rc() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" >/dev/null 2>&1; }
start_uninstaller() { WINEDLLOVERRIDES="mscoree,mshtml=;winspool.drv=n,b" start_program "$uninstaller" "$1"; }
# reg_value <key> <name>: the value's data, empty when it is not there.
reg_value() {
    "$WINE_RUN" reg query "$1" /v "$2" >"$out" 2>/dev/null
    tr -d '\r' <"$out" | awk -v n="$2" '$1 == n && $2 ~ /^REG_/ {sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print}'
}
installer() { (cd "$medium" && "$WINE_RUN" "$INSTALLER_DRIVER_EXE" "$@" >"$out" 2>&1); tr -d '\r' <"$out"; }
# answer <text start> <button id> <seconds>: answers the uninstaller's box, prints its text.
answer() { wintest answer "$CAPTION" "$1" "$2" $(($3 * 1000)) | cut -d'|' -f2-; }
leave_machine_clean() {
    testqueue_rc delete "$OTHER"
    find "$drive_c/windows/inf" -maxdepth 1 -iname "KLRN$CODE.*" -delete 2>/dev/null
    wine_spooler
}
stop_all
leave_machine_clean

# Test set-up: the all-users Start-menu path Windows has and a Wine prefix
# lacks; a medium whose monitor is the real one.
mkdir -p "$start_menu"
rm -rf "$medium" && cp -r "$KLRN_BINARY_DIR/test-medium" "$medium"
cp "$STATMON_EXE" "$medium/STM/$CODE.exe" && cp "$UNINSTALL_EXE" "$medium/Uninstall.exe"

installer copy | grep -q '^COPIED=1' || fail "driver files not copied"
installer install COM2: | grep -q "^PRINTER_NAME=$MODEL\$" || fail "not installed: $(cat "$out")"
installer install COM2: | grep -q "^PRINTER_NAME=$MODEL (Copy 1)\$" || fail "no copy: $(cat "$out")"
testqueue_rc create "$OTHER" LPT2: || fail "other driver's queue not created"
system_spooler || fail "no stand-in"
wintest_rc wait "$STATUS" 30000 && pass "the installed monitor runs" || fail "no monitor window"
monitor_pid=$(wintest pid "$STATUS")
uninstaller=$(reg_value "$UNINSTALL_KEY" UninstallString)
check "uninstall entry names the copied uninstaller" "C:\\windows\\system32\\spool\\drivers\\$spool_env\\Uninstall.exe" "$uninstaller"

start_uninstaller first
question=$(answer "Do you want" 7 30)
check "question" "Do you want to remove the printer software of the $MODEL from this computer?" "${question%%$'\n'*}"
wait_exit "$first" 20; check "No ends the uninstaller" 0 "$exit_status"
check "No leaves the monitor running" 1 "$(wintest alive "$monitor_pid")"
check "No leaves the queue" "COM2:|$MODEL" "$(testqueue show "$MODEL")"

start_uninstaller second
wintest_rc popups "$CAPTION" 30000 || fail "no question"
start_uninstaller third
refusal=$(answer "Another" 1 30)
check "a second uninstaller is refused" \
    "Another application is already running. Please terminate the previous application." "$refusal"
wait_exit "$third" 20; check "the refused uninstaller ends" 0 "$exit_status"
answer "Do you want" 6 30 >/dev/null || fail "question not answered"
report=$(answer "*" 1 90)
echo "report: $report"
wait_exit "$second" 30; check "the uninstaller ends" 0 "$exit_status"
check "report" "The printer software of the $MODEL has been removed." "${report%%$'\n'*}"
for line in "- the running Status Monitor" "- the printer \"$MODEL\"" "- the printer \"$MODEL (Copy 1)\"" \
    "- the printer driver \"$MODEL\"" "- the start of the Status Monitor at log-on (KLRN$CODE)" \
    "- the entry \"Kelrona Printer Software\" in Programs and Features"; do
    grep -qxF -- "$line" <<<"$report" && pass "reported: $line" || fail "not reported: $line"
done

check "the monitor has ended" 0 "$(wintest alive "$monitor_pid")"
check "no monitor window" 0 "$(wintest count "$STATUS")"
testqueue_rc show "$MODEL" && fail "queue left" || pass "queue removed"
testqueue_rc show "$MODEL (Copy 1)" && fail "copy left" || pass "copy removed"
drivers_left=$(testqueue drivers -)
grep -qxF "$MODEL" <<<"$drivers_left" && fail "driver left" || pass "driver removed"
check "other driver's queue untouched" "LPT2:|KLRN Test Driver" "$(testqueue show "$OTHER")"
grep -qxF "KLRN Test Driver" <<<"$drivers_left" && pass "other driver kept" || fail "other driver removed"
check "Run value removed" "" "$(reg_value "$RUN_KEY" "KLRN$CODE")"
check "uninstall entry removed" "" "$(reg_value "$UNINSTALL_KEY" UninstallString)"
[ ! -e "$start_menu/Kelrona" ] && pass "shortcut and its folder removed" || fail "left: $(ls "$start_menu/Kelrona")"
[ ! -e "$drivers/STM" ] && pass "monitor and its folder removed" || fail "left: $(ls "$drivers/STM")"
for file in Uninstall.exe unidrvui.dll "KLRN$CODE.INF" Setup.exe; do
    [ -e "$drivers/$file" ] && pass "shared $file kept" || fail "shared $file removed"
done

start_uninstaller again
answer "Do you want" 6 30 >/dev/null || fail "question not asked again"
report=$(answer "*" 1 60)
check "a second run finds nothing" \
    "No printer software of the $MODEL was found on this computer. Nothing was removed." "$report"
wait_exit "$again" 20

leave_machine_clean
finish

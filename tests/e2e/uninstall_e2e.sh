#!/bin/bash
# Uninstall.exe on a till with two models of the maker, each installed by
# Setup's installer built for its row (the installer's test program, from
# copies of the test medium that carry the real monitors and uninstallers):
# the entry names the uninstaller copied last; No changes nothing; a second
# uninstaller is refused while one runs; Yes ends both monitors and takes
# away both models' queues, drivers, start entries, shortcuts, monitors and
# staged driver files, the maker's plug-in and the entry, and moves the
# running uninstaller aside to a name that goes at restart, while another
# driver's queue and the shared files stay. A run after that finds nothing.
#
# Wine's spooler refuses the driver deletion flag Windows takes: the
# uninstaller runs against the tests' spooler stand-in (tests/standin), put
# into the prefix's system32 for the test (the uninstaller takes
# winspool.drv from there only).
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${UNINSTALL_EXE:?}" "${INSTALLER_DRIVER_EXE:?}" "${SPOOLER_STANDIN:?}"
: "${UNINSTALL_ROW3_EXE:?}" "${INSTALLER_DRIVER_ROW3_EXE:?}" "${STATMON_ROW3_EXE:?}"
MODEL="KLR VX 7 Ember" CODE=VX7EMBER
MODEL3="KLR VX 5 Flint" CODE3=VX5FLINT
STATUS="$MODEL - Status Monitor" STATUS3="$MODEL3 - Status Monitor"
CAPTION="KLRN Printer Driver - Setup"
OTHER="Back Office"
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelrona'
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
drive_c=$WINEPREFIX/drive_c
drivers=$drive_c/windows/system32/spool/drivers/$spool_env
start_menu="$drive_c/Documents and Settings/All Users/Start Menu/Programs"
medium=$KLRN_BINARY_DIR/uninstall-e2e-medium medium3=$KLRN_BINARY_DIR/uninstall-e2e-medium3
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
installer3() { (cd "$medium3" && "$WINE_RUN" "$INSTALLER_DRIVER_ROW3_EXE" "$@" >"$out" 2>&1); tr -d '\r' <"$out"; }
# answer <text start> <button id> <seconds>: answers the uninstaller's box, prints its text.
answer() { wintest answer "$CAPTION" "$1" "$2" $(($3 * 1000)) | cut -d'|' -f2-; }
leave_machine_clean() {
    testqueue_rc delete "$OTHER"
    find "$drive_c/windows/inf" -maxdepth 1 \( -iname "KLRN$CODE.*" -o -iname "KLRN$CODE3.*" \) -delete 2>/dev/null
    wine_spooler
}
stop_all
leave_machine_clean

# Test set-up: the all-users Start-menu path Windows has and a Wine prefix
# lacks; a medium whose monitor is the real one.
mkdir -p "$start_menu"
# Each medium carries its model's INF, GPD and catalog file and the maker's
# plug-in (stand-ins: the uninstaller, a file whose version resource names
# the maker, as the plug-in; an empty catalog); the second model's INF differs from the first one's by a
# comment, so that the driver store keeps both.
rm -rf "$medium" "$medium3" && cp -r "$KLRN_BINARY_DIR/test-medium" "$medium"
cp "$STATMON_EXE" "$medium/STM/$CODE.exe" && cp "$UNINSTALL_EXE" "$medium/Uninstall.exe"
cp "$UNINSTALL_EXE" "$medium/KLRN9pin.dll" && : >"$medium/KLRN$CODE.CAT"
cp -r "$medium" "$medium3" && rm "$medium3"/KLRN$CODE.* "$medium3"/$CODE.GPD "$medium3"/STM/*
{ cat "$medium/KLRN$CODE.INF"; echo "; $MODEL3"; } >"$medium3/KLRN$CODE3.INF"
cp "$medium/$CODE.GPD" "$medium3/$CODE3.GPD" && : >"$medium3/KLRN$CODE3.CAT"
cp "$STATMON_ROW3_EXE" "$medium3/STM/$CODE3.exe" && cp "$UNINSTALL_ROW3_EXE" "$medium3/Uninstall.exe"

installer copy | grep -q '^COPIED=1' || fail "driver files not copied"
installer install COM2: | grep -q "^PRINTER_NAME=$MODEL\$" || fail "not installed: $(cat "$out")"
installer install COM2: | grep -q "^PRINTER_NAME=$MODEL (Copy 1)\$" || fail "no copy: $(cat "$out")"
installer3 copy | grep -q '^COPIED=1' || fail "second model's driver files not copied"
installer3 install COM1: | grep -q "^PRINTER_NAME=$MODEL3\$" || fail "second model not installed: $(cat "$out")"
testqueue_rc create "$OTHER" LPT2: || fail "other driver's queue not created"
system_spooler || fail "no stand-in"
wintest_rc wait "$STATUS" 30000 && pass "the installed monitor runs" || fail "no monitor window"
wintest_rc wait "$STATUS3" 30000 && pass "the second model's monitor runs" || fail "no second monitor window"
monitor_pid=$(wintest pid "$STATUS") monitor3_pid=$(wintest pid "$STATUS3")
for file in "KLRN$CODE.INF" "KLRN$CODE3.INF" "$CODE3.GPD" "KLRN$CODE3.CAT" KLRN9pin.dll; do
    [ -e "$drivers/$file" ] || fail "not staged: $file"
done
check "the installer registered the monitor's event source" "0x7" \
    "$(reg_value "HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\$MODEL Status Monitor" TypesSupported)"
uninstaller=$(reg_value "$UNINSTALL_KEY" UninstallString)
check "uninstall entry names the copied uninstaller" "C:\\windows\\system32\\spool\\drivers\\$spool_env\\Uninstall.exe" "$uninstaller"
cmp -s "$drivers/Uninstall.exe" "$UNINSTALL_ROW3_EXE" && pass "the uninstaller copied last is the second model's" ||
    fail "the entry's uninstaller is not the second model's"

start_uninstaller first
question=$(answer "Do you want" 7 30)
check "question names both models" \
    "Do you want to remove the printer software of the $MODEL3 and the $MODEL from this computer?" "${question%%$'\n'*}"
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
check "report" "The printer software of the $MODEL3 and the $MODEL has been removed." "${report%%$'\n'*}"
for line in "$MODEL3:" "$MODEL:" "- the running Status Monitor" "- the printer \"$MODEL\"" "- the printer \"$MODEL (Copy 1)\"" \
    "- the printer \"$MODEL3\"" "- the printer driver \"$MODEL\"" "- the printer driver \"$MODEL3\"" \
    "- the start of the Status Monitor at log-on (KLRN$CODE)" "- the start of the Status Monitor at log-on (KLRN$CODE3)" \
    "- the entry \"Kelrona Printer Software\" in Programs and Features" "Removed when Windows restarts:" \
    "- the uninstaller $uninstaller"; do
    grep -qxF -- "$line" <<<"$report" && pass "reported: $line" || fail "not reported: $line"
done

check "the monitor has ended" 0 "$(wintest alive "$monitor_pid")"
check "the second model's monitor has ended" 0 "$(wintest alive "$monitor3_pid")"
check "no monitor window" 0 "$(wintest count "$STATUS")"
testqueue_rc show "$MODEL" && fail "queue left" || pass "queue removed"
testqueue_rc show "$MODEL (Copy 1)" && fail "copy left" || pass "copy removed"
testqueue_rc show "$MODEL3" && fail "second model's queue left" || pass "second model's queue removed"
drivers_left=$(testqueue drivers -)
grep -qxF "$MODEL" <<<"$drivers_left" && fail "driver left" || pass "driver removed"
grep -qxF "$MODEL3" <<<"$drivers_left" && fail "second driver left" || pass "second driver removed"
check "other driver's queue untouched" "LPT2:|KLRN Test Driver" "$(testqueue show "$OTHER")"
grep -qxF "KLRN Test Driver" <<<"$drivers_left" && pass "other driver kept" || fail "other driver removed"
check "Run value removed" "" "$(reg_value "$RUN_KEY" "KLRN$CODE")"
check "event source removed" "" \
    "$(reg_value "HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\$MODEL Status Monitor" TypesSupported)"
check "second Run value removed" "" "$(reg_value "$RUN_KEY" "KLRN$CODE3")"
check "uninstall entry removed" "" "$(reg_value "$UNINSTALL_KEY" UninstallString)"
[ ! -e "$start_menu/Kelrona" ] && pass "shortcuts and their folder removed" || fail "left: $(ls "$start_menu/Kelrona")"
[ ! -e "$drivers/STM" ] && pass "monitors and their folder removed" || fail "left: $(ls "$drivers/STM")"
for file in "KLRN$CODE.INF" "$CODE.GPD" "KLRN$CODE.CAT" "KLRN$CODE3.INF" "$CODE3.GPD" "KLRN$CODE3.CAT" KLRN9pin.dll; do
    [ ! -e "$drivers/$file" ] && pass "staged $file removed" || fail "staged $file left"
done
for file in unidrvui.dll Setup.exe; do
    [ -e "$drivers/$file" ] && pass "shared $file kept" || fail "shared $file removed"
done
[ ! -e "$drivers/Uninstall.exe" ] && pass "the running uninstaller has left its place" || fail "Uninstall.exe left in place"
pending=$("$WINE_RUN" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    2>/dev/null | tr -d '\r')
grep -qiF "$spool_env\\~Uninstall-" <<<"$pending" && ls "$drivers"/~Uninstall-*.tmp >/dev/null 2>&1 &&
    pass "the running uninstaller goes at restart" || fail "the uninstaller is not scheduled for removal: $pending"
grep -qiF "$spool_env\\Uninstall.exe" <<<"$pending" && fail "the entry's path is scheduled for removal" ||
    pass "the entry's path is not scheduled for removal"

uninstaller=$UNINSTALL_ROW3_EXE
start_uninstaller again
answer "Do you want" 6 30 >/dev/null || fail "question not asked again"
report=$(answer "*" 1 60)
check "a second run finds nothing" "No printer software of the $MODEL3 was found on this computer. Nothing was removed." \
    "${report%%$'\n'*}"
wait_exit "$again" 20

leave_machine_clean
finish

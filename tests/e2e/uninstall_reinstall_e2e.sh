#!/bin/bash
# The usual repair of a till in one support visit: Uninstall.exe from the
# entry, Setup's installer again before Windows restarts, then the restart.
# The first uninstaller's file goes at the restart under a name of its own,
# so the new uninstaller, the new monitor and the queue are all still there
# afterwards, and a run of the new uninstaller removes everything.
#
# The restart is Wine's: every process of the prefix ends (stop_all), then
# `wineboot -r` carries out the pending deletions as Windows does at start;
# the monitor is then started from its Run value, as at log-on. The
# uninstaller runs against the tests' spooler stand-in (tests/standin), put
# into the prefix's system32 while it runs.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${UNINSTALL_EXE:?}" "${INSTALLER_DRIVER_EXE:?}" "${SPOOLER_STANDIN:?}"
MODEL="KLR VX 7 Ember" CODE=VX7EMBER
CAPTION="KLRN Printer Driver - Setup"
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelrona'
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
drive_c=$WINEPREFIX/drive_c
drivers=$drive_c/windows/system32/spool/drivers/$spool_env
medium=$KLRN_BINARY_DIR/uninstall-reinstall-e2e-medium
out=$KLRN_BINARY_DIR/uninstall-reinstall-e2e.out

testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" 2>/dev/null | tr -d '\r'; }
testqueue_rc() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" >/dev/null 2>&1; }
installer() { (cd "$medium" && "$WINE_RUN" "$INSTALLER_DRIVER_EXE" "$@" >"$out" 2>&1); tr -d '\r' <"$out"; }
reg_value() {
    "$WINE_RUN" reg query "$1" /v "$2" >"$out" 2>/dev/null
    tr -d '\r' <"$out" | sed -n "s/^ *$2  *REG_[A-Z_]*  *//p"
}
install() {
    wine_spooler
    installer copy | grep -q '^COPIED=1' || fail "driver files not copied"
    installer install COM2: | grep -q "^PRINTER_NAME=$MODEL\$" || fail "not installed: $(cat "$out")"
}
# uninstall: runs the entry's uninstaller, answers Yes, prints its report.
uninstall() {
    local pid
    system_spooler || fail "no stand-in"
    WINEDLLOVERRIDES="mscoree,mshtml=;winspool.drv=n,b" start_program "$(reg_value "$UNINSTALL_KEY" UninstallString)" pid
    wintest answer "$CAPTION" "Do you want" 6 30000 >/dev/null || fail "no question"
    wintest answer "$CAPTION" "*" 1 90000 | cut -d'|' -f2-
    wait_exit "$pid" 30 || fail "the uninstaller did not end"
}
# pending: the pending file operations, empty when there are none.
pending() {
    "$WINE_RUN" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
        >"$out" 2>/dev/null && tr -d '\r' <"$out"
}
leave_machine_clean() {
    find "$drive_c/windows/inf" -maxdepth 1 -iname "KLRN$CODE.*" -delete 2>/dev/null
    wine_spooler
}
stop_all
leave_machine_clean
mkdir -p "$drive_c/Documents and Settings/All Users/Start Menu/Programs"
rm -rf "$medium" && cp -r "$KLRN_BINARY_DIR/test-medium" "$medium"
cp "$STATMON_EXE" "$medium/STM/$CODE.exe" && cp "$UNINSTALL_EXE" "$medium/Uninstall.exe"
cp "$UNINSTALL_EXE" "$medium/KLRN9pin.dll" && : >"$medium/KLRN$CODE.CAT"

install
wintest_rc wait "$STATUS" 30000 || fail "no monitor window"
report=$(uninstall)
check "the first removal" "The printer software of the $MODEL has been removed." "${report%%$'\n'*}"
[ ! -e "$drivers/Uninstall.exe" ] && pass "the running uninstaller has left its place" || fail "Uninstall.exe in place"
grep -qiF "\\~Uninstall-" <<<"$(pending)" && pass "its new name goes at restart" || fail "nothing scheduled: $(pending)"

install  # before the restart
wintest_rc wait "$STATUS" 30000 && pass "the new monitor runs" || fail "no new monitor"
check "the entry is back" "C:\\windows\\system32\\spool\\drivers\\$spool_env\\Uninstall.exe" \
    "$(reg_value "$UNINSTALL_KEY" UninstallString)"

stop_all
"$WINE_RUN" wineboot -r >/dev/null 2>&1
[ -z "$(pending)" ] && pass "the restart carried out the pending deletions" || fail "still pending: $(pending)"
ls "$drivers"/~Uninstall-*.tmp >/dev/null 2>&1 && fail "the old uninstaller is left" || pass "the old uninstaller has gone"
cmp -s "$drivers/Uninstall.exe" "$UNINSTALL_EXE" && pass "the new uninstaller is there" || fail "no uninstaller after the restart"
check "the queue is there" "COM2:|$MODEL" "$(testqueue show "$MODEL")"
monitor=$(reg_value "$RUN_KEY" "KLRN$CODE")
[ -n "$monitor" ] || fail "no Run value"
start_program "$monitor.exe" monitor_pid
wintest_rc wait "$STATUS" 30000 && pass "the monitor starts at log-on" || fail "no monitor after the restart"

report=$(uninstall)
check "the second removal" "The printer software of the $MODEL has been removed." "${report%%$'\n'*}"
testqueue_rc show "$MODEL" && fail "queue left" || pass "queue removed"
grep -qxF "$MODEL" <<<"$(testqueue drivers -)" && fail "driver left" || pass "driver removed"
check "no monitor window" 0 "$(wintest count "$STATUS")"
check "Run value removed" "" "$(reg_value "$RUN_KEY" "KLRN$CODE")"
check "entry removed" "" "$(reg_value "$UNINSTALL_KEY" UninstallString)"
for file in STM "KLRN$CODE.INF" "$CODE.GPD" "KLRN$CODE.CAT" KLRN9pin.dll Uninstall.exe; do
    [ ! -e "$drivers/$file" ] && pass "$file removed" || fail "$file left"
done
stop_all
"$WINE_RUN" wineboot -r >/dev/null 2>&1
ls "$drivers"/~* >/dev/null 2>&1 && fail "left after the restart: $(ls "$drivers"/~*)" || pass "nothing left after the restart"

leave_machine_clean
finish

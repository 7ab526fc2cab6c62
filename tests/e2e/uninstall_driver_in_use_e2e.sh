#!/bin/bash
# Uninstall.exe when the spooler keeps the model's printer driver because
# it is still in use: the queue goes, the driver and the uninstall entry
# stay, and the report says so with the reason and what to do; a run from
# the entry once the driver is free removes the driver and the entry. The refusal (ERROR_PRINTER_DRIVER_IN_USE) is played in by the tests'
# spooler stand-in (tests/standin), put into the prefix's system32 for the
# test, where the uninstaller takes winspool.drv from.
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${UNINSTALL_EXE:?}" "${INSTALLER_DRIVER_EXE:?}" "${SPOOLER_STANDIN:?}"
MODEL="KLR VX 7 Ember" CODE=VX7EMBER
CAPTION="KLRN Printer Driver - Setup"
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelrona'
drive_c=$WINEPREFIX/drive_c
medium=$KLRN_BINARY_DIR/uninstall-in-use-e2e-medium
out=$KLRN_BINARY_DIR/uninstall-in-use-e2e.out

testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" 2>/dev/null | tr -d '\r'; }
testqueue_rc() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" >/dev/null 2>&1; }
installer() { (cd "$medium" && "$WINE_RUN" "$INSTALLER_DRIVER_EXE" "$@" >"$out" 2>&1); tr -d '\r' <"$out"; }
# uninstall: runs the uninstaller, answers Yes, prints its report.
uninstall() {
    local pid
    WINEDLLOVERRIDES="mscoree,mshtml=;winspool.drv=n,b" start_program "$uninstaller" pid
    wintest answer "$CAPTION" "Do you want" 6 30000 >/dev/null || fail "no question"
    wintest answer "$CAPTION" "*" 1 90000 | cut -d'|' -f2-
    wait_exit "$pid" 30 || fail "the uninstaller did not end"
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
installer copy | grep -q '^COPIED=1' || fail "driver files not copied"
installer install COM2: | grep -q "^PRINTER_NAME=$MODEL\$" || fail "not installed: $(cat "$out")"
entry() {
    "$WINE_RUN" reg query "$UNINSTALL_KEY" /v UninstallString 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *UninstallString  *REG_[A-Z_]*  *//p'
}
uninstaller=$(entry)
[ -n "$uninstaller" ] || fail "no uninstall entry"
system_spooler || fail "no stand-in"

spooler_script "refuse-driver-delete 3001 $MODEL"
report=$(uninstall)
check "report of a driver in use" "Some parts of the printer software of the $MODEL could not be removed." \
    "${report%%$'\n'*}"
for line in "- the printer \"$MODEL\"" "- the printer driver \"$MODEL\" (still in use, error 3001)" \
    "- the entry \"Kelrona Printer Software\" in Programs and Features, so that you can run Uninstall again from there" \
    "Close any program that may use these parts, then run Uninstall again from Programs and Features."; do
    grep -qxF -- "$line" <<<"$report" && pass "reported: $line" || fail "not reported: $line"
done
testqueue_rc show "$MODEL" && fail "queue left" || pass "queue removed"
grep -qxF "$MODEL" <<<"$(testqueue drivers -)" && pass "driver in use kept" || fail "driver removed"
check "the entry stays for the next run" "$uninstaller" "$(entry)"

spooler_script "# the driver is free again"
report=$(uninstall)
grep -qxF -- "- the printer driver \"$MODEL\"" <<<"$report" && pass "a second run removes the driver" ||
    fail "driver not removed: $report"
grep -qxF "$MODEL" <<<"$(testqueue drivers -)" && fail "driver left" || pass "driver gone"
check "the entry goes with the last model" "" "$(entry)"

leave_machine_clean
finish

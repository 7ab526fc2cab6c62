#!/bin/bash
# The elevated programs never load a winspool.drv planted beside them.
# Setup.exe and Uninstall.exe run from a copy of the test medium that holds
# a test-only winspool.drv (planted/), with the override that makes Wine
# take a native DLL of that name wherever Windows would find one. Setup goes
# past its first spooler call (OK reads the spooler's driver directory and
# copies the driver files, then the connection wait shows), the uninstaller
# past its question and its listing of the printers. The planted DLL, which
# leaves a file beside itself when a process loads it, leaves none.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/setup_lib.sh"
: "${PLANTED_WINSPOOL:?}" "${UNINSTALL_EXE:?}"
planted=$KLRN_BINARY_DIR/planted-medium
trace=$planted/planted-dll-loaded.txt
# run_planted <program> <pid variable>: the program from the planted folder.
run_planted() {
    (cd "$planted" && WINEDLLOVERRIDES=$SETUP_OVERRIDES exec "$WINE_RUN" "$1" >/dev/null 2>>"$wine_log") &
    printf -v "$2" '%s' "$!"
}
not_loaded() {
    if [ -e "$trace" ]; then fail "$1 loaded the planted DLL: $(tr -d '\r' <"$trace")"
    else pass "$1 did not load the planted DLL"; fi
}
clean_machine
rm -rf "$planted" && cp -r "$SETUP_MEDIUM" "$planted" && cp "$UNINSTALL_EXE" "$planted/Uninstall.exe" &&
    cp "$PLANTED_WINSPOOL" "$planted/winspool.drv" || fail "no planted medium"

run_planted Setup.exe setup
shown "$MAIN" 30 || fail "no main dialog"
wintest click "$MAIN" $IDOK
shown "$CONNECTION" 30 && pass "Setup read the driver directory and copied the files" || fail "no connection wait"
not_loaded Setup
wintest click "$CONNECTION" $IDC_CONNECTION_CANCEL
check "the exit question" "$CAPTION|$EXIT_QUESTION|&Yes,&No" "$(message 15)"
answer $IDYES
wait_exit "$setup" 30; check "Setup ends" 0 "$exit_status"

run_planted Uninstall.exe uninstaller
question=$(wintest answer "$CAPTION" "Do you want" $IDYES 30000 | cut -d'|' -f2-)
check "the uninstaller's question" \
    "Do you want to remove the printer software of the $MODEL from this computer?" "${question%%$'\n'*}"
# What it finds depends on what earlier tests left; a failed listing would
# be reported as "the printers that use the printer driver ...".
report=$(wintest answer "$CAPTION" "*" $IDOK 60000 | cut -d'|' -f2-)
echo "report: $report"
[ -n "$report" ] && pass "the uninstaller reports" || fail "no report"
grep -qF "the printers that use the printer driver" <<<"$report" &&
    fail "the uninstaller could not list the printers" || pass "the uninstaller listed the printers"
wait_exit "$uninstaller" 30; check "the uninstaller ends" 0 "$exit_status"
not_loaded Uninstall

clean_machine
rm -rf "$planted"
finish

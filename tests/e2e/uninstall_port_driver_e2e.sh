#!/bin/bash
# Uninstall and the status monitors' port driver: once no model is left it
# removes the driver service "hwinterface" and its file when they are ours
# (the file is, byte for byte, the image Uninstall carries, which is the
# monitor's), and leaves another product's service and file of that name
# as they are.
source "$(dirname "$0")/lib.sh"
: "${UNINSTALL_EXE:?}" "${PORT_DRIVER_IMAGE:?}"
CAPTION="KLRN Printer Driver - Setup"
SERVICE="1|3|System32\\Drivers\\hwinterface.sys"
driver_file=$system32/drivers/hwinterface.sys
foreign=${KLRN_TEST_TMP:-/tmp}/foreign-hwinterface-$$.sys
sc_log=${KLRN_TEST_TMP:-/tmp}/uninstall-port-driver-sc-$$.log

# TEST SET-UP: the driver file and the service as Setup leaves them (here
# made with Wine's sc.exe: no model needs installing for this).
plant() {
    cp "$1" "$driver_file"
    "$WINE_RUN" sc create hwinterface type= kernel start= demand binPath= 'System32\Drivers\hwinterface.sys' \
        >"$sc_log" 2>&1
}
# Uninstall with Yes to its question; its report is answered with OK.
uninstall() {
    start_program "$UNINSTALL_EXE" uninstaller
    wintest answer "$CAPTION" "Do you want" 6 60000 >/dev/null || fail "no question"
    wintest answer "$CAPTION" "*" 1 90000 >/dev/null || fail "no report"
    wait_exit "$uninstaller" 30
}
stop_all

plant "$PORT_DRIVER_IMAGE"
check "set-up: our service" "$SERVICE" "$(wintest service hwinterface)"
uninstall
check "Uninstall ends" 0 "$exit_status"
wintest_rc service hwinterface && fail "our service is left" || pass "our service is removed"
[ -e "$driver_file" ] && fail "our driver file is left" || pass "our driver file is removed"

# Another product's port driver under the same names.
printf 'MZ\x90\0another product'"'"'s port driver' >"$foreign"
plant "$foreign"
check "set-up: another product's service" "$SERVICE" "$(wintest service hwinterface)"
uninstall
check "Uninstall ends" 0 "$exit_status"
check "another product's service stays" "$SERVICE" "$(wintest service hwinterface)"
cmp -s "$foreign" "$driver_file" && pass "another product's driver file stays" ||
    fail "another product's driver file was changed or removed"
rm -f "$foreign" "$sc_log"
finish

#!/bin/bash
# Leaving Setup: Escape does nothing in any dialog; Cancel and the close box
# ask before quitting, No keeps the dialog, Yes ends Setup with nothing
# installed. The generic OK command does nothing in the port selection.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/setup_lib.sh"
clean_machine

# asks <description>: the exit question is shown.
asks() { check "$1 asks" "$CAPTION|$EXIT_QUESTION|&Yes,&No" "$(message 15)"; }
nothing_installed() {
    wait_exit "$setup" 30; check "$1: Setup ends" 0 "$exit_status"
    check "$1: no queue" "" "$(testqueue port "$MODEL")"
    check "$1: no uninstall entry" "" "$(reg_value "$UNINSTALL_KEY" DisplayName)"
}

start_setup setup
shown "$MAIN" 30 || fail "no main dialog"
wintest key "$MAIN" $VK_ESCAPE; sleep 1
check "main dialog: Escape does nothing" 1 "$(wintest visible "$MAIN")"
wintest close "$MAIN"; asks "main dialog: the close box"
answer $IDNO
check "main dialog: No keeps it" 1 "$(wintest visible "$MAIN")"
wintest click "$MAIN" $IDCANCEL; asks "main dialog: Cancel"
answer $IDYES
nothing_installed "main dialog"

start_setup setup
shown "$MAIN" 30 || fail "no main dialog"
wintest click "$MAIN" $IDOK
shown "$CONNECTION" 30 || fail "no connection wait"
wintest key "$CONNECTION" $VK_ESCAPE; sleep 1
check "connection wait: Escape does nothing" 1 "$(wintest visible "$CONNECTION")"
wintest click "$CONNECTION" $IDC_CONNECTION_CANCEL; asks "connection wait: Cancel"
answer $IDNO
check "connection wait: No keeps it" 1 "$(wintest visible "$CONNECTION")"
wintest close "$CONNECTION"; asks "connection wait: the close box"
answer $IDYES
check "the main dialog is not shown again" 0 "$(wintest visible "$MAIN")"
nothing_installed "connection wait"

start_setup setup
shown "$MAIN" 30 || fail "no main dialog"
wintest click "$MAIN" $IDOK
shown "$CONNECTION" 30 || fail "no connection wait"
wintest click "$CONNECTION" $IDC_MANUAL
shown "$PORTS" 30 || fail "no port selection"
wintest key "$PORTS" $VK_ESCAPE; sleep 1
check "port selection: Escape does nothing" 1 "$(wintest visible "$PORTS")"
wintest command "$PORTS" $IDOK; sleep 1
check "port selection: the generic OK does nothing" 1 "$(wintest visible "$PORTS")"
wintest click "$PORTS" $IDC_PORT_CANCEL; asks "port selection: Cancel"
answer $IDNO
check "port selection: No keeps it" 1 "$(wintest visible "$PORTS")"
wintest click "$PORTS" $IDC_PORT_CANCEL; asks "port selection: Cancel again"
answer $IDYES
check "neither earlier dialog is shown again" 0 "$(($(wintest visible "$MAIN") + $(wintest visible "$CONNECTION")))"
nothing_installed "port selection"

clean_machine
finish

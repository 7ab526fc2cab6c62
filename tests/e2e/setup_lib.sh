# Shared helpers of Setup's end-to-end scripts (sourced after lib.sh).
# Setup.exe runs from its test medium ($SETUP_MEDIUM, its working
# directory), with the tests' winspool.drv stand-in (tests/standin)
# supplying what Wine's spooler lacks.
: "${SETUP_MEDIUM:?}" "${TESTQUEUE_EXE:?}" "${SPOOLER_STANDIN:?}"
# TEST SET-UP: Setup takes winspool.drv from System32 only, so the stand-in
# and the copy of Wine's DLL it forwards to go into the prefix's system32
# for the script (processes Setup starts, the monitor among them, inherit
# the override and get the stand-in too, which forwards all they call);
# Wine's own comes back when the script ends.
system_spooler ||
    { echo "FAIL: no spooler stand-in in system32"; exit 1; }
trap wine_spooler EXIT
CAPTION="KLRN Printer Driver - Setup"
MAIN="$CAPTION@1001"          # main dialog (its model list)
CONNECTION="$CAPTION@1021"    # USB connection wait (its Manual button)
PORTS="$CAPTION@1016"         # manual port selection (its port list)
PLEASE_WAIT="$CAPTION@1002"   # please-wait window
STATUS="KLR VX 7 Ember - Status Monitor"
MODEL="KLR VX 7 Ember"
EXIT_QUESTION=$'Setup is not complete. If you quit now, the program will not be installed.\nExit Setup?'
IDOK=1 IDCANCEL=2 IDYES=6 IDNO=7 VK_RETURN=13 VK_ESCAPE=27
IDC_MANUAL=1021 IDC_CONNECTION_CANCEL=1005 IDC_PORT_OK=1008 IDC_PORT_CANCEL=1006
IDC_PORT_LIST=1016 IDC_CURRENT_PORT=1017
SETUP_OVERRIDES="mscoree,mshtml=;winspool.drv=n,b"
START_MENU="$KLRN_WINEPREFIX/drive_c/Documents and Settings/All Users/Start Menu/Programs"
SHORTCUT="$START_MENU/Kelrona/StatusMonitorVX7EMBER.LNK"
USB_PARAMETERS='HKLM\SYSTEM\CurrentControlSet\Control\DeviceClasses\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\##?#USB#Vid_ffa7&Pid_8246#VX7EMBER#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\#\Device Parameters'
SPOOLER_PORTS='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelrona'

testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" 2>/dev/null | tr -d '\r'; }
# reg <arguments>: Wine's reg.exe, quietly.
reg() { "$WINE_RUN" reg "$@" >/dev/null 2>&1; }
# reg_value <key> <name>: the value's data, empty when it is missing.
reg_value() {
    local out; out=$(mktemp)
    "$WINE_RUN" reg query "$1" /v "$2" >"$out" 2>/dev/null
    tr -d '\r' <"$out" | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p'
    rm -f "$out"
}

# start_setup <pid variable>: Setup.exe from the test medium.
start_setup() {
    (cd "$SETUP_MEDIUM" && WINEDLLOVERRIDES=$SETUP_OVERRIDES exec "$WINE_RUN" Setup.exe >/dev/null 2>>"$wine_log") &
    printf -v "$1" '%s' "$!"
}
# shown <window> <seconds>: waits until the window exists and is visible.
shown() {
    wintest_rc wait "$1" $(($2 * 1000)) || return 1
    wintest_rc until 1 $(($2 * 1000)) visible "$1"
}
# message <seconds>: the next message box of Setup, as caption|text|buttons.
message() { wintest popups "*" $(($1 * 1000)); }
# answer <button id>: presses the button of the message box and waits until it is gone.
answer() {
    wintest press "*" "$1"
    wintest_rc until "" 5000 popups "*" 0
}

# A machine without anything of the model's installation, with the
# all-users Start-menu folder Windows has and a Wine prefix lacks.
clean_machine() {
    stop_all
    local name
    for name in "$MODEL" "$MODEL (Copy 1)" "$MODEL (Copy 2)"; do testqueue delete "$name" >/dev/null; done
    reg delete "$RUN_KEY" /v KLRNVX7EMBER /f
    reg delete "$UNINSTALL_KEY" /f
    reg delete "${USB_PARAMETERS%\\#\\Device Parameters}" /f
    reg delete "$SPOOLER_PORTS" /v USB001 /f
    rm -f "$SHORTCUT"
    find "$KLRN_WINEPREFIX/drive_c/windows/inf" -iname 'klrnvx7ember.*' -delete
    rm -rf "$KLRN_WINEPREFIX"/drive_c/windows/system32/spool/drivers/*/STM
    mkdir -p "$START_MENU"
    stop_all
}

# becomes <description> <expected> <command...>: the check, waiting up to
# 5 s for the command to print the expected text (a wintest query asked
# again in one process).
becomes() {
    local what=$1 expected=$2 actual i
    shift 2
    if [ "$1" = wintest ]; then
        shift
        actual=$(wintest until "$expected" 5000 "$@")
    else
        for ((i = 0; i < 20; i++)); do
            actual=$("$@")
            [ "$actual" = "$expected" ] && break
            sleep 0.25
        done
    fi
    check "$what" "$expected" "$actual"
}

# Shared helpers of the end-to-end scripts (sourced).
set -u
: "${KLRN_BINARY_DIR:?}" "${WINTEST_EXE:?}" "${WINE_RUN:?}"
export KLRN_WINEPREFIX WINEPREFIX=$KLRN_WINEPREFIX
# What differs between the 64-bit and the pure 32-bit prefix: the spooler's
# driver directory (below C:\windows\system32\spool\drivers) and the
# folder of Wine's own DLLs for the programs under test.
case ${KLRN_WINE_ARCH:-win64} in
win32) spool_env=w32x86 wine_dlls=/usr/lib/i386-linux-gnu/wine/i386-windows ;;
*) spool_env=x64 wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows ;;
esac

# TEST SET-UP: the tests' spooler stand-in (tests/standin, $SPOOLER_STANDIN,
# with wspl_wine.drv, the copy of Wine's DLL it forwards to, beside it) in
# the prefix's system32, the only folder the elevated programs take
# winspool.drv from; the override "winspool.drv=n,b" makes Wine prefer it
# there to its builtin. system_spooler puts both there; wine_spooler puts
# Wine's own winspool.drv back. New files each time (--remove-destination):
# a running Wine process may still map the old ones.
system32=$WINEPREFIX/drive_c/windows/system32
system_spooler() {
    cp --remove-destination "${SPOOLER_STANDIN:?}" "$system32/winspool.drv" &&
        cp --remove-destination "$(dirname "$SPOOLER_STANDIN")/wspl_wine.drv" "$system32/wspl_wine.drv"
}
wine_spooler() {
    cp --remove-destination "$wine_dlls/winspool.drv" "$system32/winspool.drv"
    rm -f "$system32/wspl_wine.drv"
}
# The stand-in's script (tests/standin/README.md): one file for each script
# run, none at first (the stand-in then only forwards).
export KLRN_SPOOLER_SCRIPT=$WINEPREFIX/spooler-script-$(basename "$0" .sh).txt
rm -f "$KLRN_SPOOLER_SCRIPT"

failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check <description> <expected> <actual>
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi
}
wintest() { "$WINE_RUN" "$WINTEST_EXE" "$@" 2>/dev/null | tr -d '\r'; }
wintest_rc() { "$WINE_RUN" "$WINTEST_EXE" "$@" >/dev/null 2>&1; }

# What Wine says while the programs under test run (its err: lines tell of
# a crash or a hang), shown when a check failed.
wine_log=${KLRN_TEST_TMP:-/tmp}/wine-$(basename "$0" .sh).log
: >"$wine_log"
export WINEDEBUG=${WINEDEBUG:--all,err+all}
# start_program <exe> <pid variable>: starts a Windows program in the background.
start_program() {
    "$WINE_RUN" "$1" >/dev/null 2>>"$wine_log" &
    printf -v "$2" '%s' "$!"
}
# wait_exit <pid> <seconds>: waits for the process to end and sets
# exit_status to its exit status ("running" when it did not end in time).
wait_exit() {
    local pid=$1 limit=$(( $2 * 10 ))
    while kill -0 "$pid" 2>/dev/null && [ $limit -gt 0 ]; do sleep 0.1; limit=$((limit - 1)); done
    if kill -0 "$pid" 2>/dev/null; then exit_status=running; return 1; fi
    wait "$pid"; exit_status=$?
}
# The status window and what the monitor shows in it.
STATUS="KLR VX 7 Ember - Status Monitor"
QUEUE="KLR VX 7 Ember"
BLUE="0,0,255" GREY="172,168,153"   # title colours of good news and of errors
ID_TRAY_SHOW=101 ID_TRAY_EXIT=104 IDC_OK=1007
# becomes <what> <expected> <seconds> <wintest args...>: waits until the
# wintest query prints the expected text; reports pass or fail. One wintest
# process asks again and again (wintest until): a process start is slow
# under the 32-bit Wine.
becomes() {
    local what=$1 expected=$2 seconds=$3 got; shift 3
    got=$(wintest until "$expected" $((seconds * 1000)) "$@")
    [ "$got" = "$expected" ] && { pass "$what"; return 0; }
    fail "$what: expected [$expected], got [$got]"; return 1
}
title_becomes() { becomes "$1" "$2" "$3" text "$STATUS" 1004; }
message_becomes() { becomes "$1" "$2" "$3" text "$STATUS" 1005; }
colour_becomes() { becomes "$1" "$2" "${3:-2}" colour "$STATUS" 1004; }
testqueue() { "$WINE_RUN" "$TESTQUEUE_EXE" "$@" >/dev/null 2>&1; }

# The monitor against the tests' spooler stand-in (tests/standin):
# spooler_script LINE...  writes its script (the queue and job status words
# it reports, see tests/standin/README.md); start_spooled_monitor <pid
# variable> starts the copy of statmon.exe that sits beside the stand-in.
# The script is replaced whole, so that the stand-in never reads half of it.
spooler_script() {
    rm -f "$KLRN_SPOOLER_SCRIPT.held"
    printf '%s\n' "$@" >"$KLRN_SPOOLER_SCRIPT.new" && mv -f "$KLRN_SPOOLER_SCRIPT.new" "$KLRN_SPOOLER_SCRIPT"
}
start_spooled_monitor() {
    WINEDLLOVERRIDES="mscoree,mshtml=;winspool.drv=n,b" "$WINE_RUN" "$SPOOLED_DIR/statmon.exe" >/dev/null 2>>"$wine_log" &
    printf -v "$1" '%s' "$!"
}
# tick_held <seconds>: after a script with "hold-after N", waits until the
# stand-in holds the monitor's tick (it has answered N queue reads).
tick_held() {
    local i
    for ((i = 0; i < $1 * 10; i++)); do
        [ -e "$KLRN_SPOOLER_SCRIPT.held" ] && return 0
        sleep 0.1
    done
    return 1
}

# Test set-up for checks that a program survives a bad message: with an empty
# AeDebug "Debugger" a crashing program ends instead of hanging in winedbg.
no_crash_debugger() {
    "$WINE_RUN" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1
}
# stray_notices <window>: posts WM_DEVICECHANGE with DBT_DEVNODES_CHANGED (7),
# an event that carries no record, with stray lParam values, as any program
# of the desktop can; then prints whether the window still answers. A sent
# WM_NULL is answered before the thread takes its posted messages, so the
# first answer only shows that the notices are being taken; the second one
# comes after them.
stray_notices() {
    local lparam
    for lparam in 0x1 0xDEAD0000 0xFFFFFFF0; do wintest post "$1" 0x219 7 $lparam; done
    wintest responds "$1" 3000 >/dev/null
    wintest responds "$1" 3000
}

# stop_all: ends every process of the prefix and waits until its wineserver
# has gone.
stop_all() {
    /usr/lib/wine/wineserver -k 2>/dev/null
    /usr/lib/wine/wineserver -w 2>/dev/null || true
}
finish() {
    stop_all
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed; what Wine said:"
        tail -n 60 "$wine_log"
        exit 1
    fi
    echo "all checks passed"
}

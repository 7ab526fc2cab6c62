#!/bin/bash
# The status monitor's start-up, single instance, status window commands.
source "$(dirname "$0")/lib.sh"
STATUS="KLR VX 7 Ember - Status Monitor"
OTHER="KLR VX 5 Flint - Status Monitor"   # the monitor built for row 3
ID_TRAY_SHOW=101 ID_TRAY_EXIT=104 IDC_OK=1007 VK_ESCAPE=27
stop_all

start_program "$STATMON_EXE" first
wintest_rc wait "$STATUS" 15000 && pass "status window created" || fail "no status window"
check "hidden at start" 0 "$(wintest visible "$STATUS")"
check "caption" "$STATUS" "$(wintest text "$STATUS")"
check "version" "Ver 3.01 (9W)" "$(wintest text "$STATUS" 1010)"

start_program "$STATMON_EXE" second
wait_exit "$second" 20; check "second instance exits at once" 0 "$exit_status"
check "no second window" 1 "$(wintest count "$STATUS")"

start_program "$STATMON_ROW3_EXE" other
wintest_rc wait "$OTHER" 15000 && pass "monitor for another model runs beside it" || fail "other model's monitor did not start"
kill -0 "$first" && pass "first monitor still running" || fail "first monitor ended"

# shown_again: the window opened from the tray, waited for.
shown_again() { wintest command "$STATUS" $ID_TRAY_SHOW; wintest_rc until 1 5000 visible "$STATUS"; }
wintest command "$STATUS" $ID_TRAY_SHOW
becomes "show restores the window" 1 5 visible "$STATUS"
wintest click "$STATUS" $IDC_OK
becomes "Ok hides it" 0 5 visible "$STATUS"
shown_again || fail "not shown again"
wintest key "$STATUS" $VK_ESCAPE
becomes "Esc hides it" 0 5 visible "$STATUS"
shown_again || fail "not shown again"
wintest close "$STATUS"
becomes "close box hides it" 0 5 visible "$STATUS"
kill -0 "$first" && pass "keeps running after hiding" || fail "ended after hiding"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$first" 20; check "Exit ends the process" 0 "$exit_status"
check "window gone after Exit" 0 "$(wintest count "$STATUS")"

start_program "$STATMON_EXE" again
wintest_rc wait "$STATUS" 15000 && pass "a new start after Exit works" || fail "no window after restart"
wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$again" 20; check "second run exits too" 0 "$exit_status"
wintest command "$OTHER" $ID_TRAY_EXIT
wait_exit "$other" 20
finish

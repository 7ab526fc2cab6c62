#!/bin/bash
# What the monitor reports to the Application log: a paused queue one
# warning, the return to Ready one information event, nothing more while a
# state holds; and nothing at all without a registered source. Wine's
# ReportEventW stores nothing but prints what it is given on its debug
# channels (fixme:advapi the call, the eventlog channel each string): the
# script reads them there. The source is registered as Setup registers it
# (test set-up: the spooled copy of the monitor was not installed by Setup).
source "$(dirname "$0")/lib.sh"
: "${TESTQUEUE_EXE:?}" "${SPOOLED_DIR:?}"
export WINEDEBUG="-all,err+all,fixme+advapi,warn+eventlog,trace+eventlog"
stop_all
SOURCE_KEY='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\KLR VX 7 Ember Status Monitor'

# events: every event the monitor has reported, one "type:id" a line
# (ReportEventW's second and fourth arguments: 4 information, 2 warning;
# 0x3e8 watching, 0x7d1 paused, 0x3e9 ready again).
events() { sed -n 's/.*ReportEventW ([^,]*,0x0*\([0-9a-f]*\),[^,]*,0x0*\([0-9a-f]*\),.*/\1:\2/p' "$wine_log"; }
event_list() { events | tr '\n' ' '; }

testqueue create "$QUEUE" "COM1:" || fail "test queue not created"
"$WINE_RUN" reg add "$SOURCE_KEY" /v EventMessageFile /t REG_SZ /d 'C:\statmon.exe' /f >/dev/null 2>&1
"$WINE_RUN" reg add "$SOURCE_KEY" /v TypesSupported /t REG_DWORD /d 7 /f >/dev/null 2>&1
spooler_script "status 0" "jobs"
start_spooled_monitor monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "idle queue: Ready" "Ready" 10
sleep 2
check "watching: one information event" "4:3e8 " "$(event_list)"

spooler_script "status 1" "jobs"                  # paused
title_becomes "paused" "Communication Error" 5
sleep 4                                           # the state holds
check "paused: one warning more" "4:3e8 2:7d1 " "$(event_list)"
grep -q "KLR VX 7 Ember" "$wine_log" && grep -q "COM1:" "$wine_log" &&
    pass "the queue and its port are among the strings" || fail "no queue or port in the strings"

spooler_script "status 0" "jobs"
title_becomes "Ready again" "Ready" 5
sleep 4
check "ready again: one information event more" "4:3e8 2:7d1 4:3e9 " "$(event_list)"

wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"

# Without a registered source (a monitor copied by hand) nothing is written.
"$WINE_RUN" reg delete "$SOURCE_KEY" /f >/dev/null 2>&1
: >"$wine_log"
spooler_script "status 1" "jobs"
start_spooled_monitor monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
title_becomes "paused without a source" "Communication Error" 10
sleep 2
check "no event without a registered source" "" "$(event_list)"
wintest command "$STATUS" $ID_TRAY_EXIT
wait_exit "$monitor" 20; check "Exit" 0 "$exit_status"
testqueue delete "$QUEUE"
finish

#!/bin/bash
# The tray icon: added at start, double click opens the window with the next
# tip, single clicks do nothing, right click opens the menu, Exit removes it.
# A new taskbar ("TaskbarCreated") gets the icon again. Wine cannot restart
# its shell for a running desktop and never broadcasts that message, so the
# test does what a restarted Explorer amounts to: the shell loses the icon,
# then "TaskbarCreated" is broadcast.
source "$(dirname "$0")/lib.sh"
STATUS="KLR VX 7 Ember - Status Monitor"
CALLBACK="class:KlrnFrameworkWindow/"     # the hidden 10x10 callback window
TRAY="Wine System Tray"                   # Wine's own notification area
WM_TRAY_NOTIFY=1039 WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202 WM_LBUTTONDBLCLK=0x203
WM_RBUTTONDOWN=0x204 WM_RBUTTONUP=0x205 ID_TRAY_EXIT=104 IDC_OK=1007 VK_ESCAPE=27
TIP0='In case of "Printer Fonts" set font size as 10 for better throughput and speed.'
TIP1='Ensure same "Page Size" setting is selected in application (like MS-Word) and also in printer driver.'
TIP2='For multicopy stationery use Copy Mode setting as Enabled for good quality printing.'
stop_all

start_program "$STATMON_EXE" monitor
wintest_rc wait "$STATUS" 15000 || fail "no status window"
check "callback window exists" 1 "$(wintest count "$CALLBACK")"
becomes "icon added to the notification area" 1 5 visible "$TRAY"
check "first tip at start" "$TIP0" "$(wintest text "$STATUS" 1008)"

check "the shell loses the icon" 1 "$(wintest untray "$CALLBACK" 1)"
check "the notification area is empty" 0 "$(wintest until 0 10000 visible "$TRAY")"
wintest broadcast TaskbarCreated
wintest_rc shown "$TRAY" 10000 && pass "the new taskbar gets the icon again" || fail "no icon after TaskbarCreated"

for message in $WM_LBUTTONDOWN $WM_LBUTTONUP $WM_RBUTTONDOWN; do
    wintest post "$CALLBACK" $WM_TRAY_NOTIFY 1 $message
done
sleep 1
check "single clicks and right button down do nothing" 0 "$(wintest visible "$STATUS")"

wintest post "$CALLBACK" $WM_TRAY_NOTIFY 1 $WM_LBUTTONDBLCLK
becomes "double click shows the window" 1 5 visible "$STATUS"
becomes "with the next tip" "$TIP1" 5 text "$STATUS" 1008
becomes "no printer here: the not-installed display" "No Printer Found" 5 text "$STATUS" 1004
wintest click "$STATUS" $IDC_OK; sleep 0.5

wintest post "$CALLBACK" $WM_TRAY_NOTIFY 1 $WM_RBUTTONUP
menus=0
for ((i = 0; i < 20 && menus == 0; i++)); do
    sleep 0.25
    menus=$(wintest list - | grep -c '^#32768|.*|1$')
done
check "right click opens the popup menu" 1 "$menus"
wintest key "class:#32768" $VK_ESCAPE; sleep 0.5
check "the menu does not open the window" 0 "$(wintest visible "$STATUS")"

wintest post "$CALLBACK" $WM_TRAY_NOTIFY 1 $WM_LBUTTONDBLCLK
becomes "next show, next tip" "$TIP2" 5 text "$STATUS" 1008

wintest command "$STATUS" $ID_TRAY_EXIT     # what the menu's Exit sends
wait_exit "$monitor" 20; check "Exit ends the program" 0 "$exit_status"
check "icon removed" 0 "$(wintest visible "$TRAY")"
finish

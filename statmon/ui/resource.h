// Resource and control ids of the status monitor. Read by windres too, so
// only #define lines belong here.
#pragma once

#define IDD_STATUS_MONITOR      102
#define IDC_PRINTER_BITMAP      136
#define IDB_PRINTER             152
#define IDC_STATUS_PICTURE      1002
#define IDC_STATUS_TITLE        1004
#define IDC_STATUS_MESSAGE      1005
#define IDC_OK_BUTTON           1007
#define IDC_TIP                 1008
#define IDC_VERSION             1010

#define IDI_APP                 1009
#define IDI_TRAY                1010

#define IDR_PORT_DRIVER         164
#define IDR_PICTURE_ERROR       165
#define IDR_PICTURE_INFO        166

// The commands of the status window are in commands.h.

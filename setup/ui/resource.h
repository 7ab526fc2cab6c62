// Resource ids of Setup's dialogs and pictures.
#pragma once

// Main dialog.
#define IDD_SETUP_DIALOG 102
#define IDB_MODEL 129
#define IDI_SETUP 133
#define IDC_MODEL_TAB 1000
#define IDC_MODEL_LIST 1001
#define IDC_VERSION 1009

// USB connection wait.
#define IDD_PRINTER_CONNECTION 108
#define IDB_CONNECT 131
#define IDC_CONNECTION_CANCEL 1005
#define IDC_CONNECT_PICTURE 1015
#define IDC_CONNECT_TEXT 1020
#define IDC_MANUAL 1021

// Manual port selection.
#define IDD_PORT_SELECTION 109
#define IDC_PORT_CANCEL 1006
#define IDC_PORT_OK 1008
#define IDC_PORT_LIST 1016
#define IDC_CURRENT_PORT 1017

// Please-wait window and driver file copy.
#define IDD_FILECOPY 130
#define IDB_FILECOPY 132
#define IDC_FILECOPY_TEXT 1002

// Resource ids of Setup's dialogs and pictures.
#pragma once

// Please-wait window and driver file copy.
#define IDD_FILECOPY 130
#define IDB_FILECOPY 132
#define IDC_FILECOPY_TEXT 1002

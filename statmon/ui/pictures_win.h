// The status pictures: animated cursors stored as resources of type
// "ANICURSORS" in the program, shown in the status window's picture control.
#pragma once

#include <windows.h>

#include "statmon/ui/commands.h"

namespace statmon {

// Builds a cursor from the picture resource `resourceId` (165, 166) of the
// program's own module; a new handle on every call. Null when the resource
// is missing or cannot be read.
HCURSOR LoadPicture(int resourceId);
// The same by picture; Picture::None gives null.
HCURSOR LoadPicture(Picture picture);

// Shows `picture` in the picture control 1002 of `dialog` (STM_SETIMAGE,
// IMAGE_CURSOR); null clears it. The control then holds the picture: the one
// it held before is destroyed, so repeated loads do not pile up handles.
void ShowPicture(HWND dialog, HCURSOR picture);

}  // namespace statmon

// How another program finds a running status monitor and ends it: the
// caption of its window and the command of its tray menu's Exit. The
// monitor's own command ids (statmon/ui/commands.h) take the Exit from here.
#pragma once

namespace common {

// The monitor's window is a dialog whose caption is the model's DisplayName
// followed by this.
constexpr const char* kMonitorWindowClass = "#32770";
constexpr const char* kStatusCaptionSuffix = " - Status Monitor";

// WM_COMMAND of the tray menu's Exit: the monitor takes its icon away and ends.
constexpr unsigned kMonitorExitCommand = 104;

}  // namespace common

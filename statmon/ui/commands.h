// Command ids, private messages and caption of the status window, usable by
// code that does not include windows.h.
#pragma once

#include "common/monitor_window.h"

namespace statmon {

constexpr unsigned kWmUser = 0x0400;
constexpr unsigned WM_STATUS_TICK = kWmUser + 258;  // 1282, posted by the tick worker
constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 15;   // 1039, tray icon callback

// The window's caption: the model's DisplayName followed by this.
constexpr const char* kStatusCaptionSuffix = common::kStatusCaptionSuffix;

constexpr unsigned ID_TRAY_SHOW = 101;
constexpr unsigned ID_RESTART_MONITOR = 102;
constexpr unsigned ID_TRAY_EXIT = common::kMonitorExitCommand;

// Status pictures (resource ids of type "ANICURSORS").
enum class Picture { None = 0, Error = 165, Info = 166 };

}  // namespace statmon

#include "statmon/ui/tray_logic.h"

#include "catalogue/model_catalogue.h"
#include "statmon/ui/commands.h"

namespace statmon {

TrayAction MapTrayCallback(std::intptr_t lParam) {
    switch (static_cast<unsigned>(lParam) & 0xFFFFu) {
    case kWmRButtonUp:
        return TrayAction::OpenMenu;
    case kWmLButtonDblClk:
        return TrayAction::Show;
    default:
        return TrayAction::None;
    }
}

std::vector<TrayMenuItem> TrayMenuItems(const std::string& displayName) {
    return {{ID_TRAY_SHOW, displayName + " Status Monitor"}, {ID_TRAY_EXIT, "Exit"}};
}

std::vector<TrayMenuItem> TrayMenuItems() { return TrayMenuItems(catalogue::Target().DisplayName); }

unsigned TrayMenuDefaultCommand() { return ID_TRAY_SHOW; }

bool TrayIconKeeper::Show() {
    m_bWanted = true;
    m_bAdded = m_shell.AddIcon();
    return m_bAdded;
}

void TrayIconKeeper::Hide() {
    m_bWanted = false;
    m_shell.DeleteIcon();
    m_bAdded = false;
}

bool TrayIconKeeper::OnTaskbarCreated() {
    if (!m_bWanted) return false;
    m_bAdded = m_shell.AddIcon();
    return true;
}

bool TrayIconKeeper::Retry() {
    if (!NeedsRetry()) return true;
    m_bAdded = m_shell.AddIcon() || m_shell.ModifyIcon();
    return m_bAdded;
}

std::vector<std::intptr_t> SweepPoints(const ITrayWindows::Rect& client) {
    std::vector<std::intptr_t> points;
    for (int x = 0; x < client.right; x += 5)
        for (int y = 0; y < client.bottom; y += 5)
            points.push_back(static_cast<std::intptr_t>(y) * 65536 + x);
    return points;
}

void SweepNotificationArea(ITrayWindows& windows) {
    ITrayWindows::Handle window = windows.FindWindowEx(nullptr, nullptr, "Shell_TrayWnd");
    for (const char* child : {"TrayNotifyWnd", "SysPager", "ToolbarWindow32"}) {
        if (!window) return;
        window = windows.FindWindowEx(window, nullptr, child);
    }
    if (!window) return;
    ITrayWindows::Rect client{};
    if (!windows.GetClientRect(window, client)) return;
    for (std::intptr_t point : SweepPoints(client)) {
        if (!windows.SendMessage(window, kWmMouseMove, 0, point)) return;
    }
}

}  // namespace statmon

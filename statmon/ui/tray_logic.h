// What the tray icon does, apart from the shell: how its callback's mouse
// messages map to actions, its menu, and the sweep of the notification area
// that makes the shell drop icons of ended processes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace statmon {

// Mouse messages carried in the low word of the callback's lParam.
constexpr unsigned kWmMouseMove = 0x200;
constexpr unsigned kWmLButtonDown = 0x201;
constexpr unsigned kWmLButtonUp = 0x202;
constexpr unsigned kWmLButtonDblClk = 0x203;
constexpr unsigned kWmRButtonDown = 0x204;
constexpr unsigned kWmRButtonUp = 0x205;

enum class TrayAction {
    None,      // ignored
    OpenMenu,  // right button up: track the popup menu
    Show,      // double click: the show command
};

// The action for a callback's lParam; wParam (the icon id) is not looked at.
TrayAction MapTrayCallback(std::intptr_t lParam);

struct TrayMenuItem {
    unsigned command;
    std::string text;
};

// The popup menu's items in order: ID_TRAY_SHOW with the model's name +
// " Status Monitor", ID_TRAY_EXIT with "Exit".
std::vector<TrayMenuItem> TrayMenuItems(const std::string& displayName);
// The same for the model the program is built for.
std::vector<TrayMenuItem> TrayMenuItems();

// The menu's default (bold) item, chosen by command.
unsigned TrayMenuDefaultCommand();

// The shell's operations on the monitor's one icon, shaped like
// Shell_NotifyIconA with the icon's notification record.
class ITrayShell {
public:
    virtual ~ITrayShell() = default;
    virtual bool AddIcon() = 0;     // NIM_ADD
    virtual bool ModifyIcon() = 0;  // NIM_MODIFY
    virtual bool DeleteIcon() = 0;  // NIM_DELETE
};

// The registered message the shell broadcasts to every top-level window
// once its taskbar exists again (Explorer restarted, or came up after the
// program), when every icon must be added anew.
constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";

// Whether the icon belongs in the notification area, and keeping it there:
// it belongs there from Show (the window's initialisation) to Hide (Exit),
// also while an add failed because the taskbar was not ready yet.
class TrayIconKeeper {
public:
    explicit TrayIconKeeper(ITrayShell& shell) : m_shell(shell) {}

    // Adds the icon; its result is also Added().
    bool Show();
    // Deletes the icon; no later taskbar gets it again.
    void Hide();
    // The taskbar was created anew: while the icon belongs there, it is
    // added again (the new taskbar knows no icons), whatever the last add
    // answered. Returns whether an add was made.
    bool OnTaskbarCreated();
    // While the icon belongs there but the shell has not taken it (a shell
    // still starting at log-on), called on a short timer: adds it again.
    // An add the shell timed out on may still have taken the icon; then
    // the add fails and a modify finds it. True once the icon is there (or
    // no longer wanted): the timer can stop.
    bool Retry();
    bool NeedsRetry() const { return m_bWanted && !m_bAdded; }

    bool Added() const { return m_bAdded; }

private:
    ITrayShell& m_shell;
    bool m_bWanted = false;
    bool m_bAdded = false;
};

// The few window operations the sweep needs, shaped like FindWindowExA,
// GetClientRect and SendMessageTimeoutA with SMTO_ABORTIFHUNG (a hung
// shell must not hang the monitor). A null handle is "no window".
class ITrayWindows {
public:
    using Handle = void*;
    struct Rect {
        int left, top, right, bottom;
    };

    virtual ~ITrayWindows() = default;
    virtual Handle FindWindowEx(Handle parent, Handle childAfter, const char* className) = 0;
    virtual bool GetClientRect(Handle window, Rect& rect) = 0;
    // False when the window did not answer in time (or is hung).
    virtual bool SendMessage(Handle window, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
};

// The lParam values of the sweep for a toolbar client rectangle: x = 0, 5,
// 10, ... below right, within that y = 0, 5, ... below bottom; each is
// y * 65536 + x.
std::vector<std::intptr_t> SweepPoints(const ITrayWindows::Rect& client);

// Finds the taskbar's notification toolbar ("Shell_TrayWnd" > "TrayNotifyWnd"
// > "SysPager" > "ToolbarWindow32") and moves the mouse over every point of
// its client area (WM_MOUSEMOVE, wParam 0). Does nothing when a window of
// the chain is missing or its rectangle cannot be read, and stops at the
// first move the toolbar does not answer.
void SweepNotificationArea(ITrayWindows& windows);

}  // namespace statmon

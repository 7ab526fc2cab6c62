#include "statmon/ui/sys_tray_win.h"

#include <cstddef>
#include <cstring>

#include "statmon/ui/commands.h"
#include "statmon/ui/resource.h"
#include "statmon/ui/tray_logic.h"

#if !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the icon record is the first, 88-byte layout");
#endif

namespace {

constexpr UINT kIconId = 1;
// The retry timer of the icon, on the hidden window, and its period.
constexpr UINT_PTR kRetryTimerId = 1;
constexpr UINT kRetryPeriodMs = 2000;
// How long one message to the shell's toolbar may take.
constexpr UINT kShellAnswerMs = 500;

// The tip field of the first record layout: 64 characters, terminator
// included. The SDK's record may have a longer field, but the shell reads
// only the first 64 of a record whose size says 88.
constexpr int kTipChars = 64;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + kTipChars <= NOTIFYICONDATAA_V1_SIZE,
              "the tip lies inside the first layout");
static_assert(sizeof(NOTIFYICONDATAA::szTip) >= kTipChars, "the SDK's tip field holds 64");

// The sweep's window operations on the real desktop.
class DesktopWindows : public statmon::ITrayWindows {
public:
    Handle FindWindowEx(Handle parent, Handle childAfter, const char* className) override {
        return ::FindWindowExA(static_cast<HWND>(parent), static_cast<HWND>(childAfter), className,
                               nullptr);
    }
    bool GetClientRect(Handle window, Rect& rect) override {
        RECT client;
        if (!::GetClientRect(static_cast<HWND>(window), &client)) return false;
        rect = {client.left, client.top, client.right, client.bottom};
        return true;
    }
    bool SendMessage(Handle window, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutA(static_cast<HWND>(window), message, wParam, lParam,
                                     SMTO_ABORTIFHUNG, kShellAnswerMs, &result) != 0;
    }
};

// Whether the process runs with an elevated token (started from an elevated
// Setup): the shell then runs at a lower integrity level than its windows.
bool RunsElevated() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                          elevation.TokenIsElevated != 0;
    ::CloseHandle(token);
    return elevated;
}

}  // namespace

bool CSysTray::Shell::AddIcon() {
    return ::Shell_NotifyIconA(NIM_ADD, const_cast<NOTIFYICONDATAA*>(&m_nid)) != FALSE;
}

bool CSysTray::Shell::ModifyIcon() {
    return ::Shell_NotifyIconA(NIM_MODIFY, const_cast<NOTIFYICONDATAA*>(&m_nid)) != FALSE;
}

bool CSysTray::Shell::DeleteIcon() {
    return ::Shell_NotifyIconA(NIM_DELETE, const_cast<NOTIFYICONDATAA*>(&m_nid)) != FALSE;
}

CSysTray::CSysTray() = default;

CSysTray::~CSysTray() {
    // An icon left behind would stay in the notification area until the
    // mouse passes over it.
    if (m_keeper.Added()) Remove();
    if (m_hMenu) ::DestroyMenu(m_hMenu);
}

int CSysTray::Create(HWND statusWindow, UINT callbackMessage, const char* tip, HICON icon) {
    m_hStatusWnd = statusWindow;
    m_entries[0] = framework::OnMessage(callbackMessage, &CSysTray::OnTrayNotify);
    m_entries[1] = framework::OnMessage(WM_TIMER, &CSysTray::OnRetryTimer);
    m_map.count = 2;
    const UINT taskbarCreated = ::RegisterWindowMessageA(statmon::kTaskbarCreatedMessage);
    if (taskbarCreated) m_entries[m_map.count++] = framework::OnMessage(taskbarCreated, &CSysTray::OnTaskbarCreated);

    CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr);
    if (m_hWnd && RunsElevated()) {
        // User Interface Privilege Isolation keeps messages above WM_USER
        // of the lower-integrity shell from an elevated process's windows.
        ::ChangeWindowMessageFilterEx(m_hWnd, callbackMessage, MSGFLT_ALLOW, nullptr);
        if (taskbarCreated) ::ChangeWindowMessageFilterEx(m_hWnd, taskbarCreated, MSGFLT_ALLOW, nullptr);
    }

    m_hMenu = ::CreatePopupMenu();
    for (const auto& item : statmon::TrayMenuItems())
        ::AppendMenuA(m_hMenu, MF_STRING, item.command, item.text.c_str());

    m_nid = NOTIFYICONDATAA{};
    m_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_nid.hWnd = m_hWnd;
    m_nid.uID = kIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.hIcon = icon;
    if (tip) ::lstrcpynA(m_nid.szTip, tip, kTipChars);  // cut to 63 and terminated

    if (!m_keeper.Show()) RetryUntilAdded();
    return 0;
}

void CSysTray::Remove() {
    if (m_hWnd) ::KillTimer(m_hWnd, kRetryTimerId);
    m_keeper.Hide();
}

void CSysTray::RetryUntilAdded() {
    if (m_hWnd) ::SetTimer(m_hWnd, kRetryTimerId, kRetryPeriodMs, nullptr);
}

LRESULT CSysTray::OnRetryTimer(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam == kRetryTimerId && m_keeper.Retry()) ::KillTimer(m_hWnd, kRetryTimerId);
    return 0;
}

void CSysTray::Sweep() {
    DesktopWindows desktop;
    statmon::SweepNotificationArea(desktop);
}

HICON CSysTray::LoadTrayIcon() {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY),
                                           IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

LRESULT CSysTray::OnTrayNotify(WPARAM /*wParam*/, LPARAM lParam) {
    switch (statmon::MapTrayCallback(lParam)) {
    case statmon::TrayAction::OpenMenu:
        OpenMenu();
        break;
    case statmon::TrayAction::Show:
        ::SetForegroundWindow(m_hStatusWnd);
        ::SendMessageA(m_hStatusWnd, WM_COMMAND, MAKEWPARAM(statmon::ID_TRAY_SHOW, 0), 0);
        break;
    case statmon::TrayAction::None:
        break;
    }
    return 0;
}

LRESULT CSysTray::OnTaskbarCreated(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (m_keeper.OnTaskbarCreated() && m_keeper.NeedsRetry()) RetryUntilAdded();
    return 0;
}

void CSysTray::OpenMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(m_hStatusWnd);
    ::SetMenuDefaultItem(m_hMenu, statmon::TrayMenuDefaultCommand(), FALSE);
    ::TrackPopupMenu(m_hMenu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hStatusWnd, nullptr);
    ::PostMessageA(m_hStatusWnd, WM_NULL, 0, 0);
}

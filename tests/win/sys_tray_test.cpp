#include "statmon/ui/sys_tray_win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "catalogue/model_catalogue.h"
#include "statmon/ui/commands.h"

namespace {

// Stands in for the status window: records the tray commands it receives.
class StandInStatusWindow : public framework::CWnd {
public:
    std::vector<WPARAM> commands;

protected:
    const framework::MessageMap* GetMessageMap() const override {
        using T = StandInStatusWindow;
        static const framework::MessageMapEntry entries[] = {
            framework::OnCommand(statmon::ID_TRAY_SHOW, &T::OnCommand),
            framework::OnCommand(statmon::ID_RESTART_MONITOR, &T::OnCommand),
            framework::OnCommand(statmon::ID_TRAY_EXIT, &T::OnCommand)};
        static const framework::MessageMap map{nullptr, entries, 3};
        return &map;
    }

private:
    LRESULT OnCommand(WPARAM wParam, LPARAM) {
        commands.push_back(wParam);
        return 0;
    }
};

class SysTray : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_status.CreateEx(0, "status", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, nullptr));
        m_icon = CSysTray::LoadTrayIcon();
        ASSERT_NE(m_icon, nullptr);
        EXPECT_EQ(m_tray.Create(m_status.m_hWnd, statmon::WM_TRAY_NOTIFY,
                                "KLR-N Status Monitor Utility", m_icon),
                  0);
    }
    void TearDown() override {
        m_tray.Remove();
        ::DestroyIcon(m_icon);
    }
    LRESULT Notify(LPARAM mouseMessage) {
        return ::SendMessageA(m_tray.m_hWnd, statmon::WM_TRAY_NOTIFY, 1, mouseMessage);
    }

    StandInStatusWindow m_status;
    CSysTray m_tray;
    HICON m_icon = nullptr;
};

TEST_F(SysTray, CreateAddsTheIconWithAHiddenCallbackWindow) {
    EXPECT_TRUE(m_tray.IconAdded());
    HWND window = m_tray.m_hWnd;
    ASSERT_TRUE(::IsWindow(window));
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ(name, "KlrnFrameworkWindow");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(::GetWindowLongPtrA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetParent(window), nullptr);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 10);
    EXPECT_EQ(rect.bottom - rect.top, 10);
    EXPECT_EQ(::GetWindowTextLengthA(window), 0);
}

TEST_F(SysTray, NotificationRecordIsTheFirstLayout) {
    const NOTIFYICONDATAA& nid = m_tray.NotifyData();
    EXPECT_EQ(nid.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(nid.hWnd, m_tray.m_hWnd);
    EXPECT_EQ(nid.uID, 1u);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 1039u);
    EXPECT_EQ(nid.hIcon, m_icon);
    EXPECT_STREQ(nid.szTip, "KLR-N Status Monitor Utility");
}

TEST_F(SysTray, ALongTipIsCutInsideTheFirstLayoutsField) {
    CSysTray tray;
    const std::string tip(100, 'x');
    tray.Create(m_status.m_hWnd, statmon::WM_TRAY_NOTIFY, tip.c_str(), m_icon);
    const NOTIFYICONDATAA& nid = tray.NotifyData();
    EXPECT_EQ(std::string(nid.szTip), std::string(63, 'x'));  // the terminator is the 64th
    tray.Remove();
}

TEST_F(SysTray, MenuHoldsTheModelEntryAndExit) {
    HMENU menu = m_tray.Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 2);
    EXPECT_EQ(::GetMenuItemID(menu, 0), statmon::ID_TRAY_SHOW);
    EXPECT_EQ(::GetMenuItemID(menu, 1), statmon::ID_TRAY_EXIT);
    char text[128] = {};
    ::GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_EQ(std::string(text), std::string(catalogue::Target().DisplayName) + " Status Monitor");
    ::GetMenuStringA(menu, 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Exit");
}

TEST_F(SysTray, DoubleClickSendsTheShowCommandToTheStatusWindow) {
    EXPECT_EQ(Notify(WM_LBUTTONDBLCLK), 0);
    ASSERT_EQ(m_status.commands.size(), 1u);
    EXPECT_EQ(LOWORD(m_status.commands[0]), statmon::ID_TRAY_SHOW);
    EXPECT_EQ(HIWORD(m_status.commands[0]), 0);
}

TEST_F(SysTray, OtherMouseMessagesDoNothing) {
    for (LPARAM message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        EXPECT_EQ(Notify(message), 0);
    EXPECT_TRUE(m_status.commands.empty());
}

VOID CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

TEST_F(SysTray, RightClickTracksTheMenuWithTheModelEntryAsDefault) {
    EXPECT_EQ(::GetMenuDefaultItem(m_tray.Menu(), FALSE, 0), static_cast<UINT>(-1));
    // The menu is modal while tracked; a timer closes it.
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &CloseMenu);
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(Notify(WM_RBUTTONUP), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(::GetMenuDefaultItem(m_tray.Menu(), FALSE, 0), statmon::ID_TRAY_SHOW);
    EXPECT_TRUE(m_status.commands.empty());
    // WM_NULL was posted to the status window after the menu closed.
    MSG msg{};
    bool sawNull = false;
    while (::PeekMessageA(&msg, m_status.m_hWnd, 0, 0, PM_REMOVE))
        if (msg.message == WM_NULL) sawNull = true;
    EXPECT_TRUE(sawNull);
}

TEST_F(SysTray, RemoveDeletesTheIcon) {
    NOTIFYICONDATAA nid = m_tray.NotifyData();
    nid.uFlags = NIF_TIP;
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &nid));
    m_tray.Remove();
    EXPECT_FALSE(m_tray.IconAdded());
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &nid));
}

// The shell's "TaskbarCreated" (what a restarted Explorer broadcasts) adds
// the icon again; after Remove it does not.
TEST_F(SysTray, ANewTaskbarGetsTheIconAgainUntilRemove) {
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(taskbarCreated, 0u);
    NOTIFYICONDATAA nid = m_tray.NotifyData();
    nid.uFlags = NIF_TIP;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &nid));  // as a shell that ended took it away
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &nid));
    EXPECT_EQ(::SendMessageA(m_tray.m_hWnd, taskbarCreated, 0, 0), 0);
    EXPECT_TRUE(m_tray.IconAdded());
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &nid));

    m_tray.Remove();
    ::SendMessageA(m_tray.m_hWnd, taskbarCreated, 0, 0);
    EXPECT_FALSE(m_tray.IconAdded());
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &nid));
}

TEST_F(SysTray, SweepWithoutTheTaskbarToolbarLeavesTheIcon) {
    m_tray.Sweep();
    NOTIFYICONDATAA nid = m_tray.NotifyData();
    nid.uFlags = NIF_TIP;
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &nid));
}

// The taskbar's window chain, built on a desktop of its own so that the
// shell's windows on the test's desktop are not found. The toolbar records
// the mouse moves it receives.
std::vector<LPARAM> g_toolbarMoves;

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && wParam == 0) g_toolbarMoves.push_back(lParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// Runs the sweep on a thread of a fresh desktop holding the chain up to
// `chainLength` windows; returns the moves the toolbar saw.
std::vector<LPARAM> SweepOwnTaskbar(int chainLength, const char* desktopName) {
    g_toolbarMoves.clear();
    bool ran = false;
    std::thread thread([&] {
        HDESK desktop = ::CreateDesktopA(desktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(desktop, nullptr) << ::GetLastError();
        ASSERT_TRUE(::SetThreadDesktop(desktop)) << ::GetLastError();
        const char* classes[] = {"Shell_TrayWnd", "TrayNotifyWnd", "SysPager", "ToolbarWindow32"};
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        HWND parent = nullptr;
        std::vector<HWND> windows;
        for (int i = 0; i < chainLength; ++i) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &ToolbarProc;
            wc.hInstance = instance;
            wc.lpszClassName = classes[i];
            ::RegisterClassA(&wc);
            // The toolbar's client area is 23 by 11 pixels.
            HWND window = ::CreateWindowExA(0, classes[i], "", parent ? WS_CHILD : WS_POPUP, 0, 0,
                                            i == 3 ? 23 : 200, i == 3 ? 11 : 40, parent, nullptr,
                                            instance, nullptr);
            ASSERT_NE(window, nullptr) << classes[i];
            windows.push_back(window);
            parent = window;
        }
        CSysTray tray;
        tray.Sweep();
        ran = true;
        ::DestroyWindow(windows.front());
        for (int i = 0; i < chainLength; ++i) ::UnregisterClassA(classes[i], instance);
        ::CloseDesktop(desktop);
    });
    thread.join();
    EXPECT_TRUE(ran);
    return g_toolbarMoves;
}

TEST(SysTraySweep, MovesOverEveryFifthPixelOfTheNotificationToolbar) {
    const std::vector<LPARAM> expected = {
        MAKELPARAM(0, 0),  MAKELPARAM(0, 5),  MAKELPARAM(0, 10),  MAKELPARAM(5, 0),
        MAKELPARAM(5, 5),  MAKELPARAM(5, 10), MAKELPARAM(10, 0),  MAKELPARAM(10, 5),
        MAKELPARAM(10, 10), MAKELPARAM(15, 0), MAKELPARAM(15, 5), MAKELPARAM(15, 10),
        MAKELPARAM(20, 0), MAKELPARAM(20, 5), MAKELPARAM(20, 10)};
    EXPECT_EQ(SweepOwnTaskbar(4, "klrn-sweep-full"), expected);
}

TEST(SysTraySweep, ChainWithoutTheToolbarGetsNothing) {
    EXPECT_TRUE(SweepOwnTaskbar(3, "klrn-sweep-short").empty());
}

}  // namespace

#include "statmon/ui/tray_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/model_catalogue.h"
#include "statmon/ui/commands.h"

using statmon::ITrayWindows;
using statmon::MapTrayCallback;
using statmon::TrayAction;

namespace {

TEST(TrayCallback, RightButtonUpOpensTheMenuAndDoubleClickShows) {
    EXPECT_EQ(MapTrayCallback(0x205), TrayAction::OpenMenu);
    EXPECT_EQ(MapTrayCallback(0x203), TrayAction::Show);
}

TEST(TrayCallback, OnlyTheLowWordCounts) {
    EXPECT_EQ(MapTrayCallback(0x00010205), TrayAction::OpenMenu);
    EXPECT_EQ(MapTrayCallback(static_cast<std::intptr_t>(0x7FFF0203)), TrayAction::Show);
    EXPECT_EQ(MapTrayCallback(0x02050000), TrayAction::None);
}

TEST(TrayCallback, OtherMouseMessagesAreIgnored) {
    for (unsigned message : {0x201u /*WM_LBUTTONDOWN*/, 0x204u /*WM_RBUTTONDOWN*/,
                             0x202u /*WM_LBUTTONUP*/, 0x200u /*WM_MOUSEMOVE*/,
                             0x206u /*WM_RBUTTONDBLCLK*/, 0u})
        EXPECT_EQ(MapTrayCallback(message), TrayAction::None) << std::hex << message;
}

TEST(TrayMenu, ModelEntryThenExitWithTheModelEntryAsDefault) {
    const auto items = statmon::TrayMenuItems("KLR VX 7 Ember");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].command, statmon::ID_TRAY_SHOW);
    EXPECT_EQ(items[0].text, "KLR VX 7 Ember Status Monitor");
    EXPECT_EQ(items[1].command, statmon::ID_TRAY_EXIT);
    EXPECT_EQ(items[1].text, "Exit");
    EXPECT_EQ(statmon::TrayMenuDefaultCommand(), 101u);
}

TEST(TrayMenu, BuiltModelNamesTheFirstItem) {
    const auto items = statmon::TrayMenuItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, std::string(catalogue::Target().DisplayName) + " Status Monitor");
}

// A desktop of windows found by (parent, class name); records what is sent.
class FakeDesktop : public ITrayWindows {
public:
    FakeDesktop() {
        Add(nullptr, "Shell_TrayWnd", kTray);
        Add(kTray, "TrayNotifyWnd", kNotify);
        Add(kNotify, "SysPager", kPager);
        Add(kPager, "ToolbarWindow32", kToolbar);
    }
    void Add(Handle parent, const std::string& cls, Handle window) { m_windows[{parent, cls}] = window; }
    void Remove(Handle parent, const std::string& cls) { m_windows.erase({parent, cls}); }

    Handle FindWindowEx(Handle parent, Handle childAfter, const char* className) override {
        EXPECT_EQ(childAfter, nullptr);
        auto it = m_windows.find({parent, className});
        return it == m_windows.end() ? nullptr : it->second;
    }
    bool GetClientRect(Handle window, Rect& rect) override {
        EXPECT_EQ(window, kToolbar);
        rect = m_client;
        return m_rectReadable;
    }
    bool SendMessage(Handle window, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override {
        EXPECT_EQ(window, kToolbar);
        EXPECT_EQ(message, 0x200u);
        EXPECT_EQ(wParam, 0u);
        sent.push_back(lParam);
        return sent.size() < answered;
    }

    static inline char storage[4];
    static constexpr Handle kTray = &storage[0];
    static constexpr Handle kNotify = &storage[1];
    static constexpr Handle kPager = &storage[2];
    static constexpr Handle kToolbar = &storage[3];

    Rect m_client{0, 0, 23, 11};
    bool m_rectReadable = true;
    std::size_t answered = SIZE_MAX;  // moves the toolbar answers before it hangs
    std::vector<std::intptr_t> sent;

private:
    std::map<std::pair<Handle, std::string>, Handle> m_windows;
};

TEST(TraySweep, MovesOverEveryFifthPixelColumnByColumn) {
    FakeDesktop desktop;
    statmon::SweepNotificationArea(desktop);
    const std::vector<std::intptr_t> expected = {
        0,  5 * 65536 + 0,  10 * 65536 + 0,  //
        5,  5 * 65536 + 5,  10 * 65536 + 5,  //
        10, 5 * 65536 + 10, 10 * 65536 + 10, //
        15, 5 * 65536 + 15, 10 * 65536 + 15, //
        20, 5 * 65536 + 20, 10 * 65536 + 20,
    };
    EXPECT_EQ(desktop.sent, expected);
}

TEST(TraySweep, EdgesAreExclusive) {
    EXPECT_EQ(statmon::SweepPoints({0, 0, 5, 5}), std::vector<std::intptr_t>{0});
    EXPECT_EQ(statmon::SweepPoints({0, 0, 6, 1}), (std::vector<std::intptr_t>{0, 5}));
    EXPECT_TRUE(statmon::SweepPoints({0, 0, 0, 30}).empty());
    EXPECT_TRUE(statmon::SweepPoints({0, 0, 30, 0}).empty());
}

TEST(TraySweep, AMissingWindowOfTheChainSendsNothing) {
    const std::vector<std::pair<ITrayWindows::Handle, std::string>> links = {
        {nullptr, "Shell_TrayWnd"},
        {FakeDesktop::kTray, "TrayNotifyWnd"},
        {FakeDesktop::kNotify, "SysPager"},
        {FakeDesktop::kPager, "ToolbarWindow32"},
    };
    for (const auto& link : links) {
        FakeDesktop desktop;
        desktop.Remove(link.first, link.second);
        statmon::SweepNotificationArea(desktop);
        EXPECT_TRUE(desktop.sent.empty()) << link.second;
    }
}

TEST(TraySweep, AHungToolbarEndsTheSweepAtTheFirstUnansweredMove) {
    FakeDesktop desktop;
    desktop.answered = 2;
    statmon::SweepNotificationArea(desktop);
    EXPECT_EQ(desktop.sent.size(), 2u);
}

TEST(TraySweep, UnreadableRectangleSendsNothing) {
    FakeDesktop desktop;
    desktop.m_rectReadable = false;
    statmon::SweepNotificationArea(desktop);
    EXPECT_TRUE(desktop.sent.empty());
}

}  // namespace

// A shell whose adds answer as told; records what it was asked.
class FakeShell : public statmon::ITrayShell {
public:
    bool AddIcon() override {
        calls.push_back("add");
        return addSucceeds;
    }
    bool ModifyIcon() override {
        calls.push_back("modify");
        return modifySucceeds;
    }
    bool DeleteIcon() override {
        calls.push_back("delete");
        return true;
    }
    bool addSucceeds = true;
    bool modifySucceeds = false;
    std::vector<std::string> calls;
};

TEST(TrayIconKeeper, ANewTaskbarGetsTheIconAgainUntilExit) {
    FakeShell shell;
    statmon::TrayIconKeeper keeper(shell);
    EXPECT_FALSE(keeper.OnTaskbarCreated());  // before the window's initialisation
    EXPECT_TRUE(keeper.Show());
    EXPECT_TRUE(keeper.OnTaskbarCreated());
    EXPECT_TRUE(keeper.OnTaskbarCreated());  // every restart of the shell
    EXPECT_TRUE(keeper.Added());
    keeper.Hide();
    EXPECT_FALSE(keeper.Added());
    EXPECT_FALSE(keeper.OnTaskbarCreated());  // after Exit the icon stays away
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "add", "add", "delete"}));
}

TEST(TrayIconKeeper, AnIconTheShellRefusedAtStartComesWithTheTaskbar) {
    FakeShell shell;
    shell.addSucceeds = false;  // no taskbar yet at log-on
    statmon::TrayIconKeeper keeper(shell);
    EXPECT_FALSE(keeper.Show());
    EXPECT_FALSE(keeper.Added());
    shell.addSucceeds = true;
    EXPECT_TRUE(keeper.OnTaskbarCreated());
    EXPECT_TRUE(keeper.Added());
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "add"}));
}

TEST(TrayIconKeeper, ASlowShellIsAskedAgainUntilItHasTheIcon) {
    FakeShell shell;
    shell.addSucceeds = false;  // the shell is slow at log-on
    statmon::TrayIconKeeper keeper(shell);
    EXPECT_FALSE(keeper.Show());
    EXPECT_TRUE(keeper.NeedsRetry());
    EXPECT_FALSE(keeper.Retry());  // still not there: the timer goes on
    shell.modifySucceeds = true;   // an add that timed out took it after all
    EXPECT_TRUE(keeper.Retry());
    EXPECT_TRUE(keeper.Added());
    EXPECT_FALSE(keeper.NeedsRetry());
    EXPECT_TRUE(keeper.Retry());  // nothing more to do
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "add", "modify", "add", "modify"}));
    keeper.Hide();
    EXPECT_FALSE(keeper.NeedsRetry()) << "after Exit the icon is not wanted";
}

// The window framework: message maps, dialogs run modally by our own loop,
// key filtering before dialog processing, data exchange, plain windows.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/dialog.h"
#include "framework/wnd.h"

namespace {

constexpr UINT kProbeTemplate = 200;
constexpr int kEdit = 300;
constexpr int kLabel = 301;
constexpr UINT kCustomCommand = 4000;
constexpr UINT kEndMessage = WM_APP + 1;
constexpr UINT kTypeMessage = WM_APP + 2;  // the user types `typed` into the edit control

// A dialog that scripts itself: on initialisation it posts the messages a
// test wants delivered, and it records what reached it.
class ProbeDialog : public framework::CDialog {
public:
    ProbeDialog() : CDialog(kProbeTemplate) {}

    std::string m_strEdit = "initial text";
    std::vector<std::string> log;
    std::vector<MSG> script;  // posted to the dialog (or a control) after initialisation
    bool filterEscape = false;
    std::string typed;
    framework::CWnd label;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        log.push_back("init:" + GetDlgItemText(kEdit));
        for (MSG m : script) ::PostMessageA(m.hwnd ? GetDlgItem(static_cast<int>(reinterpret_cast<INT_PTR>(m.hwnd))) : m_hWnd, m.message, m.wParam, m.lParam);
        return TRUE;
    }
    void DoDataExchange(framework::CDataExchange* dx) override {
        framework::DDX_Text(dx, kEdit, m_strEdit);
        framework::DDX_Control(dx, kLabel, label);
    }
    void OnCancel() override {
        log.push_back("cancel");
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (filterEscape && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            log.push_back("escape swallowed");
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }
    const framework::MessageMap* GetMessageMap() const override {
        using T = ProbeDialog;
        static const framework::MessageMapEntry entries[] = {
            framework::OnCommand(kCustomCommand, &T::OnCustom),
            framework::OnMessage(kEndMessage, &T::OnEnd),
            framework::OnMessage(kTypeMessage, &T::OnType),
        };
        static const framework::MessageMap map{CDialog::GetMessageMap(), entries, 3};
        return &map;
    }

private:
    LRESULT OnCustom(WPARAM wParam, LPARAM) {
        log.push_back("custom code " + std::to_string(HIWORD(wParam)));
        return 0;
    }
    LRESULT OnType(WPARAM, LPARAM) {
        SetDlgItemText(kEdit, typed);
        return 0;
    }
    LRESULT OnEnd(WPARAM wParam, LPARAM) {
        UpdateData(TRUE);
        EndDialog(static_cast<INT_PTR>(wParam));
        return 0;
    }
};

MSG Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, int control = 0) {
    MSG m{};
    m.hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(control));
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    return m;
}

}  // namespace

TEST(FrameworkDialog, ModalRunDeliversMappedMessagesAndReturnsTheEndResult) {
    ProbeDialog dialog;
    dialog.script = {Post(WM_COMMAND, MAKEWPARAM(kCustomCommand, 0)),
                     Post(WM_COMMAND, MAKEWPARAM(kCustomCommand, 7)),  // other code: not mapped
                     Post(kTypeMessage), Post(kEndMessage, 42)};
    dialog.typed = "typed";
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"init:initial text", "custom code 0"}), dialog.log);
    EXPECT_EQ("typed", dialog.m_strEdit) << "exchange from controls";
    EXPECT_EQ(nullptr, dialog.m_hWnd) << "the window is gone after the modal run";
}

TEST(FrameworkDialog, EscapeCancelsUnlessTheDialogFiltersIt) {
    ProbeDialog plain;
    plain.script = {Post(WM_KEYDOWN, VK_ESCAPE, 1, kEdit)};
    EXPECT_EQ(IDCANCEL, plain.DoModal());
    EXPECT_EQ((std::vector<std::string>{"init:initial text", "cancel"}), plain.log);

    ProbeDialog filtering;
    filtering.filterEscape = true;
    filtering.script = {Post(WM_KEYDOWN, VK_ESCAPE, 1, kEdit), Post(kEndMessage, 5)};
    EXPECT_EQ(5, filtering.DoModal());
    EXPECT_EQ((std::vector<std::string>{"init:initial text", "escape swallowed"}), filtering.log);
}

TEST(FrameworkDialog, EnterRunsOkWhichReadsTheControlsBack) {
    ProbeDialog dialog;
    dialog.typed = "entered";
    dialog.script = {Post(kTypeMessage), Post(WM_KEYDOWN, VK_RETURN, 1, kEdit)};
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("entered", dialog.m_strEdit);
}

TEST(FrameworkDialog, ControlsBindToWindowObjects) {
    ProbeDialog dialog;
    dialog.script = {Post(kEndMessage, 1)};
    dialog.DoModal();
    EXPECT_NE(nullptr, dialog.label.m_hWnd) << "DDX_Control binds the label";
}

TEST(FrameworkDialog, ModelessDialogLivesUntilDestroyed) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(kProbeTemplate));
    ASSERT_NE(nullptr, dialog.m_hWnd);
    EXPECT_EQ(&dialog, framework::CWnd::FromHandle(dialog.m_hWnd));
    EXPECT_EQ("initial text", dialog.GetDlgItemText(kEdit));
    HWND hwnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(nullptr, framework::CWnd::FromHandle(hwnd));
}

namespace {

constexpr UINT kSentEnd = WM_APP + 3;
constexpr UINT kRescue = WM_APP + 4;

// Ends itself from a message another thread sends and then, before its
// handler returns, runs a modal loop of its own the way a message box does.
class SentEndDialog : public framework::CDialog {
public:
    SentEndDialog() : CDialog(kProbeTemplate) {}
    INT_PTR nestedResult = 0;
    bool rescued = false;

protected:
    const framework::MessageMap* GetMessageMap() const override {
        using T = SentEndDialog;
        static const framework::MessageMapEntry entries[] = {
            framework::OnMessage(kSentEnd, &T::OnSentEnd),
            framework::OnMessage(kRescue, &T::OnRescue),
        };
        static const framework::MessageMap map{CDialog::GetMessageMap(), entries, 2};
        return &map;
    }

private:
    LRESULT OnSentEnd(WPARAM, LPARAM) {
        EndDialog(7);
        ProbeDialog nested;
        nested.script = {Post(kEndMessage, 3)};
        nestedResult = nested.DoModal();
        return 0;
    }
    LRESULT OnRescue(WPARAM, LPARAM) {
        rescued = true;
        EndDialog(-2);
        return 0;
    }
};

}  // namespace

TEST(FrameworkDialog, EndFromASentMessageReturnsOnceTheHandlerIsDone) {
    SentEndDialog dialog;
    HANDLE returned = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread sender([returned] {
        HWND hwnd = nullptr;
        for (int i = 0; i < 400 && !hwnd; ++i) {
            hwnd = ::FindWindowA(nullptr, "Framework probe");
            if (!hwnd) ::Sleep(25);
        }
        ::SendMessageA(hwnd, kSentEnd, 0, 0);
        // A run that missed the end waits for a posted message: one comes
        // only after a while, so that the test ends either way.
        if (::WaitForSingleObject(returned, 3000) == WAIT_TIMEOUT) ::PostMessageA(hwnd, kRescue, 0, 0);
    });
    const INT_PTR result = dialog.DoModal();
    ::SetEvent(returned);
    sender.join();
    ::CloseHandle(returned);
    EXPECT_EQ(3, dialog.nestedResult);
    EXPECT_FALSE(dialog.rescued) << "the run went on after the end until a message was posted";
    EXPECT_EQ(7, result);
}

namespace {

class PlainWindow : public framework::CWnd {
public:
    int pings = 0;

protected:
    const framework::MessageMap* GetMessageMap() const override {
        static const framework::MessageMapEntry entries[] = {
            framework::OnMessage(WM_APP + 7, &PlainWindow::OnPing)};
        static const framework::MessageMap map{nullptr, entries, 1};
        return &map;
    }

private:
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        ++pings;
        return static_cast<LRESULT>(wParam * 2);
    }
};

}  // namespace

TEST(FrameworkWindow, PlainWindowAnswersThroughItsMapAndDefaultsOtherwise) {
    PlainWindow window;
    ASSERT_TRUE(window.CreateEx(0, "probe", WS_POPUP, 0, 0, 10, 10, nullptr));
    EXPECT_EQ(42, window.SendMessage(WM_APP + 7, 21));
    EXPECT_EQ(1, window.pings);
    window.SetWindowText("renamed");
    EXPECT_EQ("renamed", window.GetWindowText()) << "unmapped messages get default processing";
    HWND hwnd = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_FALSE(::IsWindow(hwnd));
}

// Setup.exe's start-up on Wine (a Windows 8 prefix, administrator): the
// please-wait window flashes, the main dialog runs until it is cancelled; a
// second Setup is refused with its message while the mutex is held.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string SetupExe() {
    const char* dir = std::getenv("KLRN_BINARY_DIR");
    std::string path = std::string(dir ? dir : "") + "/setup/Setup.exe";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path[0] == '\\' ? "Z:" + path : path;
}

struct Found {
    HWND window = nullptr;
    DWORD process = 0;
    int control = 0;
};

BOOL CALLBACK FindOwnWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char caption[128] = {};
    ::GetWindowTextA(window, caption, sizeof(caption));
    if (process == found->process && std::string(caption) == "KLRN Printer Driver - Setup" &&
        ::IsWindowVisible(window) && (!found->control || ::GetDlgItem(window, found->control))) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process with Setup's caption (and the
// control, when one is named), waited for up to `ms`.
HWND WaitForWindow(DWORD process, int control, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        Found found;
        found.process = process;
        found.control = control;
        ::EnumWindows(&FindOwnWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window) return found.window;
        ::Sleep(50);
    }
    return nullptr;
}

PROCESS_INFORMATION StartSetup() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + SetupExe() + "\"";
    EXPECT_TRUE(::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process))
        << commandLine;
    return process;
}

DWORD WaitForEnd(const PROCESS_INFORMATION& process) {
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

std::string ControlText(HWND window, int control) {
    char text[256] = {};
    ::GetDlgItemTextA(window, control, text, sizeof(text));
    return text;
}

TEST(SetupStartup, PleaseWaitFlashesThenTheMainDialogRunsUntilCancelled) {
    PROCESS_INFORMATION setup = StartSetup();
    ASSERT_NE(setup.hProcess, nullptr);
    HWND pleaseWait = WaitForWindow(setup.dwProcessId, 1002, 15000);
    EXPECT_NE(pleaseWait, nullptr) << "the please-wait window was not shown";
    HWND main = WaitForWindow(setup.dwProcessId, 1001, 15000);
    ASSERT_NE(main, nullptr) << "no main dialog";
    EXPECT_FALSE(pleaseWait && ::IsWindowVisible(pleaseWait)) << "the please-wait window stays hidden";

    // A second Setup while the dialog is open is refused.
    PROCESS_INFORMATION second = StartSetup();
    ASSERT_NE(second.hProcess, nullptr);
    HWND refusal = WaitForWindow(second.dwProcessId, 0, 15000);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(ControlText(refusal, 0xFFFF),
              "Another application is already running. Please terminate the previous application.");
    ::PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForEnd(second), 0u);

    ::PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    HWND question = WaitForWindow(setup.dwProcessId, IDYES, 15000);
    ASSERT_NE(question, nullptr) << "Cancel does not ask";
    ::PostMessageA(question, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(WaitForEnd(setup), 0u);
}

TEST(SetupStartup, SecondSetupIsRefusedWhileTheMutexIsHeld) {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Global\\{8D4A6F10-2C3B-4e71-A5D9-1F7C0B93E264}");
    ASSERT_NE(mutex, nullptr);
    PROCESS_INFORMATION setup = StartSetup();
    ASSERT_NE(setup.hProcess, nullptr);
    HWND box = WaitForWindow(setup.dwProcessId, 0, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetDlgItem(box, 1002), nullptr) << "the please-wait window is not shown";
    char text[256] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ(text, "Another application is already running. Please terminate the previous application.");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForEnd(setup), 0u);
    ::CloseHandle(mutex);
}

}  // namespace

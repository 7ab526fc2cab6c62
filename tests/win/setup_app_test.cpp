// Setup.exe's start-up on Wine (a Windows 8 prefix, administrator): the
// please-wait window flashes, the main dialog runs until it is cancelled; a
// second Setup is refused with its message while the mutex is held. On
// 64-bit Windows (a WoW64 prefix) the 32-bit Setup refuses to run and
// installs nothing, also unattended.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

// The Setup.exe under test (SETUP_EXE: the 32-bit build hands over the
// medium's), else the build's.
std::string SetupExe() {
    const char* exe = std::getenv("SETUP_EXE");
    const char* dir = std::getenv("KLRN_BINARY_DIR");
    std::string path = exe && *exe ? exe : std::string(dir ? dir : "") + "/setup/Setup.exe";
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

PROCESS_INFORMATION StartSetup(const char* arguments = "") {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + SetupExe() + "\"" + arguments;
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

// Setup shows only its refusal (no please-wait window) and ends with 0
// once it is answered.
void ExpectRefusal(const char* expected) {
    PROCESS_INFORMATION setup = StartSetup();
    ASSERT_NE(setup.hProcess, nullptr);
    HWND box = WaitForWindow(setup.dwProcessId, 0, 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetDlgItem(box, 1002), nullptr) << "the please-wait window is not shown";
    char text[256] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ(text, expected);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForEnd(setup), 0u);
}

TEST(SetupStartup, SecondSetupIsRefusedWhileTheMutexIsHeld) {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Global\\{8D4A6F10-2C3B-4e71-A5D9-1F7C0B93E264}");
    ASSERT_NE(mutex, nullptr);
    ExpectRefusal("Another application is already running. Please terminate the previous application.");
    ::CloseHandle(mutex);
}

// What an installation would leave behind: local queues, printer drivers,
// files in the spooler's driver directory, uninstall entries, Run values.
using Snapshot = std::set<std::string>;

void AddEnumerated(Snapshot& snapshot, const std::string& kind,
                   BOOL (*enumerate)(BYTE*, DWORD, DWORD*, DWORD*), std::size_t stride) {
    DWORD needed = 0, count = 0;
    enumerate(nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!enumerate(buffer.data(), needed, &needed, &count)) return;
    for (DWORD i = 0; i < count; ++i) {
        const char* name = *reinterpret_cast<char**>(buffer.data() + i * stride);
        snapshot.insert(kind + name);
    }
}

void AddKeyNames(Snapshot& snapshot, HKEY root, const char* path, bool values) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        LONG rc = values ? ::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr)
                         : ::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        snapshot.insert(std::string(path) + "\\" + name);
    }
    ::RegCloseKey(key);
}

void AddFiles(Snapshot& snapshot, const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        snapshot.insert(dir + "\\" + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) AddFiles(snapshot, dir + "\\" + name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

Snapshot TakeSnapshot() {
    Snapshot snapshot;
    AddEnumerated(snapshot, "queue ", [](BYTE* b, DWORD s, DWORD* n, DWORD* c) {
        return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, b, s, n, c);
    }, sizeof(PRINTER_INFO_4A));
    AddEnumerated(snapshot, "driver ", [](BYTE* b, DWORD s, DWORD* n, DWORD* c) {
        return ::EnumPrinterDriversA(nullptr, nullptr, 1, b, s, n, c);
    }, sizeof(DRIVER_INFO_1A));
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed))
        AddFiles(snapshot, dir);
    AddKeyNames(snapshot, HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", false);
    AddKeyNames(snapshot, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", true);
    AddKeyNames(snapshot, HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", true);
    return snapshot;
}

// Runs only in a WoW64 prefix: the 32-bit build registers it there
// (tests/win/CMakeLists.txt); elsewhere it is filtered out.
TEST(SetupOnWow64, RefusesWithItsMessageAndInstallsNothing) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
    ASSERT_TRUE(wow64) << "this prefix is not a 64-bit Windows running 32-bit programs";
    const Snapshot before = TakeSnapshot();
    ASSERT_FALSE(before.empty());
    ExpectRefusal("The application will run only in Windows 8 32bit) Operating System.");
    // Unattended, the refusal is the exit code of Windows Installer's for
    // an unsupported platform.
    EXPECT_EQ(WaitForEnd(StartSetup(" /quiet /port=COM1:")), 1633u);
    const Snapshot after = TakeSnapshot();
    for (const std::string& item : after)
        EXPECT_EQ(before.count(item), 1u) << "left behind: " << item;
    EXPECT_EQ(after.size(), before.size());
}

}  // namespace

// Setup's driver file copy and installer on Wine's spooler, shell and
// registry, run from the test medium by the test-only installer_driver
// program (tests/win/installer). Each case starts from a machine without the
// model's queues, driver, monitor, Run value, shortcut and uninstall key,
// and leaves it so.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/model_catalogue.h"

namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelrona";

std::string WinPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path.size() > 1 && path[1] == ':' ? path : "Z:" + path;
}

std::string BinaryDir() {
    const char* dir = std::getenv("KLRN_BINARY_DIR");
    return dir ? WinPath(dir) : std::string();
}

std::string DriverExe() { return BinaryDir() + "\\tests\\win\\installer\\installer_driver.exe"; }
std::string TestMedium() { return BinaryDir() + "\\test-medium"; }

std::string DriverDirectory() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir), &needed))
        return std::string();
    return dir;
}

std::string Model() { return catalogue::Target().DisplayName; }
std::string Code() { return catalogue::Target().ModelCode; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct DriverRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::map<std::string, std::string> values;
    std::vector<std::string> messages;
    std::string output;
    std::string Value(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string("<missing>") : it->second;
    }
};

// Runs the driver program in `workdir` and collects its lines.
DriverRun RunDriver(const std::string& arguments, const std::string& workdir) {
    DriverRun run;
    char tempDir[MAX_PATH] = {}, tempFile[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, tempDir);
    ::GetTempFileNameA(tempDir, "ins", 0, tempFile);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = ::CreateFileA(tempFile, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + DriverExe() + "\" " + arguments;
    const BOOL started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                          workdir.c_str(), &startup, &process);
    ::CloseHandle(out);
    EXPECT_TRUE(started) << commandLine << " error " << ::GetLastError();
    if (started) {
        EXPECT_EQ(::WaitForSingleObject(process.hProcess, 180000), WAIT_OBJECT_0);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    run.output = ReadFile(tempFile);
    ::DeleteFileA(tempFile);
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
        if (name == "MESSAGE")
            run.messages.push_back(value);
        else
            run.values[name] = value;
    }
    return run;
}

std::string RegText(HKEY root, const char* key, const char* name, DWORD* size = nullptr) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<no key>";
    char data[1024] = {};
    DWORD type = 0, length = sizeof(data) - 1;
    const LONG result = ::RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &length);
    ::RegCloseKey(opened);
    if (result != ERROR_SUCCESS) return "<no value>";
    if (size) *size = length;
    return type == REG_SZ ? std::string(data) : "<not REG_SZ>";
}

bool PrinterExists(const std::string& name) {
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return false;
    ::ClosePrinter(printer);
    return true;
}

// Port and driver of a queue ("" when it cannot be read).
std::pair<std::string, std::string> PortAndDriver(const std::string& name) {
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return {};
    DWORD needed = 0;
    ::GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    std::pair<std::string, std::string> result;
    if (::GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        result = {info->pPortName ? info->pPortName : "", info->pDriverName ? info->pDriverName : ""};
    }
    ::ClosePrinter(printer);
    return result;
}

std::string DefaultPrinter() {
    char name[256] = {};
    DWORD size = sizeof(name);
    return ::GetDefaultPrinterA(name, &size) ? std::string(name) : std::string();
}

char ShortcutDrive() {
    const std::string programs =
        RegText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                "Programs");
    if (!programs.empty() && programs[0] != '<') return programs[0];
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    return windows[0];
}

std::string ShortcutFolder() {
    return std::string(1, ShortcutDrive()) + ":\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona";
}

std::string ShortcutFile() { return ShortcutFolder() + "\\StatusMonitor" + Code() + ".LNK"; }

// Target and description of a shell link, read back through IShellLinkA.
std::pair<std::string, std::string> ReadShortcut(const std::string& file) {
    std::pair<std::string, std::string> result;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return result;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        wchar_t wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
            char path[MAX_PATH] = {}, description[MAX_PATH] = {};
            link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetDescription(description, MAX_PATH);
            result = {path, description};
        }
        persist->Release();
    }
    link->Release();
    return result;
}

void DeletePrinterNamed(const std::string& name) {
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) return;
    ::DeletePrinter(printer);
    ::ClosePrinter(printer);
}

// Copies of the test medium's INF in the system's INF store, with their
// precompiled files: counted, or removed.
int StoredInfs(bool remove) {
    int count = 0;
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string store = std::string(windows) + "\\inf\\";
    const std::string medium = ReadFile(TestMedium() + "\\" + catalogue::Target().InfName);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((store + "*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::string file = store + found.cFileName;
        if (ReadFile(file) != medium) continue;
        ++count;
        if (!remove) continue;
        ::DeleteFileA(file.c_str());
        ::DeleteFileA((file.substr(0, file.size() - 4) + ".pnf").c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

void CleanMachine() {
    StoredInfs(true);
    for (const char* suffix : {"", " (Copy 1)", " (Copy 2)", " (Copy 3)"}) DeletePrinterNamed(Model() + suffix);
    ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(Model().c_str()));
    HKEY run = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueA(run, ("KLRN" + Code()).c_str());
        ::RegCloseKey(run);
    }
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    ::DeleteFileA(ShortcutFile().c_str());
    const std::string stm = DriverDirectory() + "\\STM\\" + Code() + ".exe";
    ::DeleteFileA(stm.c_str());
    ::DeleteFileA((stm + ".started").c_str());
}

class InstallerOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(BinaryDir().empty()) << "KLRN_BINARY_DIR not set";
        ASSERT_TRUE(Exists(DriverExe())) << DriverExe();
        ASSERT_TRUE(Exists(TestMedium() + "\\STM\\" + Code() + ".exe")) << TestMedium();
        ::CoInitialize(nullptr);
        CleanMachine();
        // Test set-up for what a Wine prefix lacks and Windows has: the
        // all-users Start-menu path under "Documents and Settings".
        const std::string programs = std::string(1, ShortcutDrive()) +
                                     ":\\Documents and Settings\\All Users\\Start Menu\\Programs";
        ::SHCreateDirectoryExA(nullptr, programs.c_str(), nullptr);
    }
    void TearDown() override {
        CleanMachine();
        EXPECT_FALSE(PrinterExists(Model())) << "queue left behind";
        EXPECT_FALSE(PrinterExists(Model() + " (Copy 1)")) << "queue left behind";
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<no key>");
        ::CoUninitialize();
    }
};

TEST_F(InstallerOnWine, FullInstallOnLpt1) {
    const DriverRun copy = RunDriver("copy", TestMedium());
    ASSERT_EQ(copy.exitCode, 0u) << copy.output;
    EXPECT_TRUE(copy.messages.empty()) << copy.output;
    const std::string dir = DriverDirectory();
    EXPECT_TRUE(Exists(dir + "\\" + catalogue::Target().InfName));
    EXPECT_TRUE(Exists(dir + "\\" + catalogue::Target().GpdName));
    EXPECT_TRUE(Exists(dir + "\\unidrvui.dll"));
    EXPECT_TRUE(Exists(dir + "\\Setup.exe"));

    const DriverRun install = RunDriver("install LPT1:", TestMedium());
    ASSERT_EQ(install.exitCode, 0u) << install.output;
    EXPECT_EQ(install.Value("DIRECTORY_OK"), "1") << install.output;
    EXPECT_EQ(install.Value("DRIVER_OK"), "1") << install.output;
    EXPECT_EQ(install.Value("PRINTER_OK"), "1") << install.output;
    EXPECT_EQ(install.Value("PRINTER_NAME"), Model());
    EXPECT_EQ(install.Value("DRIVER_DIRECTORY"), dir);
    ASSERT_EQ(install.messages.size(), 1u) << install.output;
    EXPECT_EQ(install.messages[0],
              Model() + " Printer Driver & Status Monitor installed successfully.|KLRN Printer Driver - Setup|0x40");

    // The queue, its driver and port, as the default printer.
    EXPECT_EQ(PortAndDriver(Model()), std::make_pair(std::string("LPT1:"), Model()));
    EXPECT_EQ(DefaultPrinter(), Model());

    // The monitor beside the driver, started once, minimised.
    const std::string monitor = dir + "\\STM\\" + Code() + ".exe";
    EXPECT_EQ(ReadFile(monitor), ReadFile(TestMedium() + "\\STM\\" + Code() + ".exe"));
    for (int i = 0; i < 100 && !Exists(monitor + ".started"); ++i) ::Sleep(100);
    EXPECT_EQ(ReadFile(monitor + ".started"), "show=6\n");

    // Run value without ".exe", its size the text and one NUL.
    DWORD size = 0;
    const std::string autoStart = RegText(HKEY_LOCAL_MACHINE, kRunKey, ("KLRN" + Code()).c_str(), &size);
    EXPECT_EQ(autoStart, dir + "\\STM\\" + Code());
    EXPECT_EQ(size, autoStart.size() + 1);

    // The shortcut, read back.
    EXPECT_EQ(ReadShortcut(ShortcutFile()), std::make_pair(monitor, "Shortcut to Status Monitor - " + Model()));

    // The INF in the system's store.
    EXPECT_EQ(StoredInfs(false), 1);

    // The uninstall entry.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Kelrona Printer Software");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), dir + "\\Uninstall.exe");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"), dir + "\\Uninstall.exe");
}

TEST_F(InstallerOnWine, SecondInstallMakesTheFirstCopy) {
    ASSERT_EQ(RunDriver("copy", TestMedium()).exitCode, 0u);
    const DriverRun first = RunDriver("install LPT1:", TestMedium());
    ASSERT_EQ(first.Value("PRINTER_OK"), "1") << first.output;
    const std::string monitor = DriverDirectory() + "\\STM\\" + Code() + ".exe";
    // The first install's monitor has started; its mark is removed once it
    // has let go of it.
    for (int i = 0; i < 100 && !::DeleteFileA((monitor + ".started").c_str()); ++i) ::Sleep(100);
    ASSERT_FALSE(Exists(monitor + ".started"));

    const DriverRun second = RunDriver("install LPT1:", TestMedium());
    EXPECT_EQ(second.Value("PRINTER_NAME"), "KLR VX 7 Ember (Copy 1)") << second.output;
    ASSERT_EQ(second.messages.size(), 1u) << second.output;
    EXPECT_EQ(second.messages[0],
              "KLR VX 7 Ember (Copy 1) Printer Driver installed successfully.|KLRN Printer Driver - Setup|0x40");
    EXPECT_TRUE(PrinterExists(Model()));
    EXPECT_TRUE(PrinterExists(Model() + " (Copy 1)"));
    EXPECT_EQ(DefaultPrinter(), Model() + " (Copy 1)");
    ::Sleep(1000);
    EXPECT_FALSE(Exists(monitor + ".started")) << "no monitor is started for a copy";
}

TEST_F(InstallerOnWine, InfPreinstalledOnceAndAgain) {
    ASSERT_EQ(RunDriver("copy", TestMedium()).exitCode, 0u);
    const DriverRun first = RunDriver("preinstall", TestMedium());
    EXPECT_EQ(first.Value("PREINSTALLED"), "1") << first.output;
    EXPECT_EQ(first.Value("INF_PATH"), DriverDirectory() + "\\" + catalogue::Target().InfName);
    const std::string stored = first.Value("OEM_INF");
    EXPECT_TRUE(Exists(stored)) << first.output;
    EXPECT_EQ(ReadFile(stored), ReadFile(TestMedium() + "\\" + catalogue::Target().InfName));
    const DriverRun again = RunDriver("preinstall", TestMedium());
    EXPECT_EQ(again.Value("PREINSTALLED"), "1") << again.output;
    EXPECT_EQ(again.Value("LAST_ERROR"), "80") << "the INF is in the store already";
}

TEST_F(InstallerOnWine, CopyReplacesExistingFilesWithoutAsking) {
    const std::string gpd = DriverDirectory() + "\\" + catalogue::Target().GpdName;
    ASSERT_TRUE(WriteFile(gpd, "an older GPD\n"));
    const DriverRun copy = RunDriver("copy", TestMedium());
    EXPECT_EQ(copy.exitCode, 0u) << copy.output;
    EXPECT_EQ(copy.Value("COPIED"), "1");
    EXPECT_EQ(ReadFile(gpd), ReadFile(TestMedium() + "\\" + catalogue::Target().GpdName));
}

TEST_F(InstallerOnWine, FailingCopyEndsTheProcessWithStatusOne) {
    // Wine's shell copy never reports a failed file copy; installer_driver's
    // copy-failing mode stands in for a shell copy that fails as on Windows.
    const DriverRun copy = RunDriver("copy-failing", TestMedium());
    EXPECT_EQ(copy.exitCode, 1u) << copy.output;
    EXPECT_EQ(copy.values.count("COPIED"), 0u) << "the process ends at the failed copy";
    EXPECT_TRUE(copy.messages.empty()) << copy.output;
    EXPECT_NE(copy.output.find("Allocating a buffer of size "), std::string::npos) << "output flushed";
    // What was copied before the failure stays.
    EXPECT_TRUE(Exists(DriverDirectory() + "\\" + catalogue::Target().GpdName));
}

}  // namespace

// Test set-up for Windows-side tests that need a printer queue: installs the
// test-only driver (klrntestui.dll, built beside this header) into the
// spooler's driver directory and creates or deletes queues on a given port.
// Header only; include as "win/testdriver/test_queue.h".
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace testqueue {

constexpr const char* kDriverName = "KLRN Test Driver";
constexpr const char* kDriverFile = "klrntestui.dll";

// Full Windows path of the built module: $KLRN_BINARY_DIR/tests/win/testdriver
// (a Unix path under Wine, reached through drive Z:), else next to the test program.
inline std::string BuiltDriverPath() {
    const char* bin = std::getenv("KLRN_BINARY_DIR");
    if (bin && *bin) {
        std::string path = bin;
        if (path[0] == '/') path = "Z:" + path;
        path += "/tests/win/testdriver/";
        path += kDriverFile;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path = exe;
    path = path.substr(0, path.find_last_of('\\') + 1);
    return path + kDriverFile;
}

inline std::string DriverDirectory() {
    DWORD needed = 0;
    BYTE scratch[10];
    ::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, scratch, sizeof(scratch), &needed);
    if (needed == 0) return {};
    std::vector<char> dir(needed + 1, 0);
    if (!::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir.data()),
                                      needed, &needed))
        return {};
    return dir.data();
}

// Copies the module into the driver directory and adds the driver. False
// with a reason on failure.
inline bool InstallTestDriver(std::string* error) {
    std::string dir = DriverDirectory();
    if (dir.empty()) {
        if (error) *error = "no driver directory";
        return false;
    }
    std::string source = BuiltDriverPath();
    std::string target = dir + "\\" + kDriverFile;
    if (!::CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        if (error) *error = "cannot copy " + source + " to " + target + ": " +
                            std::to_string(::GetLastError());
        return false;
    }
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<LPSTR>(kDriverName);
    info.pDriverPath = const_cast<LPSTR>(kDriverFile);
    info.pDataFile = const_cast<LPSTR>(kDriverFile);
    info.pConfigFile = const_cast<LPSTR>(kDriverFile);
    if (!::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info))) {
        if (error) *error = "AddPrinterDriverA: " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

// Deletes every queue of that name (Wine accepts duplicates) and the
// registry key the tests may have written for it. True when none is left.
inline bool DeleteTestQueue(const std::string& name) {
    for (int i = 0; i < 8; ++i) {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!::OpenPrinterA(const_cast<LPSTR>(name.c_str()), &printer, &defaults)) break;
        BOOL deleted = ::DeletePrinter(printer);
        ::ClosePrinter(printer);
        if (!deleted) return false;
    }
    std::string key = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    HANDLE printer = nullptr;
    if (::OpenPrinterA(const_cast<LPSTR>(name.c_str()), &printer, nullptr)) {
        ::ClosePrinter(printer);
        return false;
    }
    return true;
}

// Creates the queue `name` on `port` with the test driver (installing it
// first), replacing any queue of that name.
inline bool CreateTestQueue(const std::string& name, const std::string& port,
                            std::string* error) {
    if (!InstallTestDriver(error)) return false;
    DeleteTestQueue(name);
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<LPSTR>(name.c_str());
    info.pPortName = const_cast<LPSTR>(port.c_str());
    info.pDriverName = const_cast<LPSTR>(kDriverName);
    info.pPrintProcessor = const_cast<LPSTR>("winprint");
    info.pDatatype = const_cast<LPSTR>("RAW");  // Wine cannot open a queue without one
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) {
        if (error) *error = "AddPrinterA: " + std::to_string(::GetLastError());
        return false;
    }
    ::ClosePrinter(printer);
    return true;
}

// Writes the queue's published port name (DsSpooler "portName", a
// multi-string) as Windows' spooler does; Wine's spooler does not.
inline bool PublishPortName(const std::string& name, const std::string& port) {
    std::string key = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name + "\\DsSpooler";
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &handle, nullptr) != ERROR_SUCCESS)
        return false;
    std::string value = port;
    value.push_back('\0');
    value.push_back('\0');
    LONG rc = ::RegSetValueExA(handle, "portName", 0, REG_MULTI_SZ,
                               reinterpret_cast<const BYTE*>(value.data()),
                               static_cast<DWORD>(value.size()));
    ::RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}

// Moves the queue to another port (SetPrinterA level 2).
inline bool SetQueuePort(const std::string& name, const std::string& port) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!::OpenPrinterA(const_cast<LPSTR>(name.c_str()), &printer, &defaults)) return false;
    DWORD needed = 0;
    ::GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    bool ok = needed && ::GetPrinterA(printer, 2, buffer.data(), needed, &needed);
    if (ok) {
        auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
        info->pPortName = const_cast<LPSTR>(port.c_str());
        info->pSecurityDescriptor = nullptr;
        ok = ::SetPrinterA(printer, 2, buffer.data(), 0) != FALSE;
    }
    ::ClosePrinter(printer);
    return ok;
}

}  // namespace testqueue

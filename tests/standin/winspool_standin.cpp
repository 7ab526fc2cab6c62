// TEST-ONLY stand-in for the print spooler's winspool.drv (README.md here);
// never part of a release. The tests put it where an unchanged program
// under test loads it in place of Wine's (WINEDLLOVERRIDES=winspool.drv=n,b):
// into the test prefix's system32 for the elevated programs, which take
// winspool.drv from there only, or beside a copy of the status monitor.
// Every function Wine's winspool.drv exports is forwarded to a renamed copy
// of it, wspl_wine.drv, beside this file (the export list is generated from
// that DLL's, see make_def.cmake), except these:
//  - AddPrinterA, where Wine differs from Windows: Windows creates a printer
//    without a data type (the print processor's default), Wine fails with
//    87 and leaves a queue that can never be opened, so the stand-in hands
//    "RAW"; Windows refuses a printer name that exists
//    (ERROR_PRINTER_ALREADY_EXISTS) and a port it does not know
//    (ERROR_UNKNOWN_PORT), Wine accepts both, so the stand-in answers them
//    from OpenPrinterA and EnumPortsA.
//  - DeletePrinterDriverExA/W: Wine refuses every delete flag with 87;
//    Windows deletes the driver and, with DPD_DELETE_UNUSED_FILES, those of
//    its files no other driver uses. The stand-in deletes the driver (its
//    files stay) and reports a driver the spooler does not know as Windows
//    does (ERROR_UNKNOWN_PRINTER_DRIVER).
//  - GetPrinterA and EnumJobsA: Wine's spooler can neither pause a queue
//    nor list jobs, so the queue's status and its jobs may come from the
//    script; DeletePrinterDriver*: the script may refuse a driver's deletion.
// The script (spooler_script.h) is read again on every such call.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "spooler_script.h"

namespace {

std::string BesideThisFile(const char* name) {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&BesideThisFile), &self);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(self, path, MAX_PATH);
    std::string dir(path);
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir + name;
}

HMODULE WineSpooler() {
    static HMODULE module = [] {
        HMODULE beside = ::LoadLibraryA(BesideThisFile("wspl_wine.drv").c_str());
        return beside ? beside : ::LoadLibraryA("wspl_wine.drv");
    }();
    return module;
}

template <class Function>
Function Wine(const char* name) {
    HMODULE module = WineSpooler();
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// KLRN_SPOOLER_SCRIPT when it is set (a Unix path is taken as one on drive
// Z:, Wine's root), else spooler-script.txt beside this file.
std::string ScriptPath() {
    char value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("KLRN_SPOOLER_SCRIPT", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return BesideThisFile("spooler-script.txt");
    std::string path(value);
    if (path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

std::string ReadScriptText() {
    std::string text;
    if (FILE* file = std::fopen(ScriptPath().c_str(), "rb")) {
        char chunk[512];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0) text.append(chunk, n);
        std::fclose(file);
    }
    return text;
}

standin::SpoolerScript ReadScript() { return standin::ParseSpoolerScript(ReadScriptText()); }

// The queue reads answered with the script of this text (hold-after).
// The job list a monitor asks for after a queue read comes from the same
// text, so that one tick never mixes two scripts.
std::string g_countedScript;
int g_queueReads = 0;
bool g_queueRead = false;

// hold-after: the tick of the program under test waits in its queue read,
// so that a test sees the window as that many ticks left it. The stand-in
// says it is holding by the file <script>.held.
standin::SpoolerScript ScriptForQueueRead() {
    std::string text = ReadScriptText();
    if (text != g_countedScript) {
        g_countedScript = text;
        g_queueReads = 0;
    }
    standin::SpoolerScript script = standin::ParseSpoolerScript(text);
    if (script.holdAfter >= 0 && g_queueReads >= script.holdAfter) {
        if (FILE* held = std::fopen((ScriptPath() + ".held").c_str(), "wb")) std::fclose(held);
        while (text == g_countedScript) {
            ::Sleep(50);
            text = ReadScriptText();
        }
        g_countedScript = text;
        g_queueReads = 0;
        script = standin::ParseSpoolerScript(text);
    }
    ++g_queueReads;
    g_queueRead = true;
    return script;
}

std::string Narrow(const wchar_t* text) {
    if (!text) return "";
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

bool PrinterExists(const char* name) {
    auto open = Wine<decltype(&::OpenPrinterA)>("OpenPrinterA");
    auto close = Wine<decltype(&::ClosePrinter)>("ClosePrinter");
    HANDLE printer = nullptr;
    if (!open || !close || !name || !open(const_cast<LPSTR>(name), &printer, nullptr)) return false;
    close(printer);
    return true;
}

bool PortKnown(const char* port) {
    auto enumPorts = Wine<decltype(&::EnumPortsA)>("EnumPortsA");
    if (!enumPorts || !port) return false;
    DWORD needed = 0, count = 0;
    enumPorts(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!enumPorts(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (ports[i].pName && ::lstrcmpiA(ports[i].pName, port) == 0) return true;
    return false;
}

// The driver is installed for the current environment.
bool DriverKnown(const char* driver) {
    auto enumDrivers = Wine<decltype(&::EnumPrinterDriversA)>("EnumPrinterDriversA");
    if (!enumDrivers || !driver) return false;
    DWORD needed = 0, count = 0;
    enumDrivers(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!enumDrivers(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (drivers[i].pName && ::lstrcmpiA(drivers[i].pName, driver) == 0) return true;
    return false;
}

// False with the script's error when it refuses the driver's deletion.
bool DeletionAllowed(const char* driver) {
    const DWORD error = ReadScript().DriverRefusalError(driver);
    if (error) ::SetLastError(error);
    return error == 0;
}

template <class Function>
bool Missing(Function function) {
    if (!function) ::SetLastError(ERROR_PROC_NOT_FOUND);
    return !function;
}

}  // namespace

extern "C" {

HANDLE WINAPI AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
    auto add = Wine<decltype(&::AddPrinterA)>("AddPrinterA");
    if (Missing(add)) return nullptr;
    if (level != 2 || !info) return add(server, level, info);
    const standin::SpoolerScript script = ReadScript();
    PRINTER_INFO_2A printer = *reinterpret_cast<const PRINTER_INFO_2A*>(info);
    if (script.printerExists && PrinterExists(printer.pPrinterName)) {
        ::SetLastError(script.printerExists);
        return nullptr;
    }
    if (script.unknownPort && !PortKnown(printer.pPortName)) {
        ::SetLastError(script.unknownPort);
        return nullptr;
    }
    std::string datatype = script.datatype;
    if (!printer.pDatatype) printer.pDatatype = &datatype[0];
    return add(server, level, reinterpret_cast<LPBYTE>(&printer));
}

BOOL WINAPI GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    auto get = Wine<decltype(&::GetPrinterA)>("GetPrinterA");
    if (Missing(get)) return FALSE;
    const BOOL ok = get(printer, level, buffer, size, needed);
    if (ok && level == 2 && buffer && size >= sizeof(PRINTER_INFO_2A)) {
        const standin::SpoolerScript script = ScriptForQueueRead();
        auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
        if (script.hasStatus) info->Status = script.status;
        if (script.hasJobs) info->cJobs = static_cast<DWORD>(script.jobs.size());
    }
    return ok;
}

BOOL WINAPI EnumJobsA(HANDLE printer, DWORD firstJob, DWORD count, DWORD level, LPBYTE buffer, DWORD size,
                      LPDWORD needed, LPDWORD returned) {
    const standin::SpoolerScript script = g_queueRead ? standin::ParseSpoolerScript(g_countedScript) : ReadScript();
    if (!script.hasJobs) {
        auto enumJobs = Wine<decltype(&::EnumJobsA)>("EnumJobsA");
        if (Missing(enumJobs)) return FALSE;
        return enumJobs(printer, firstJob, count, level, buffer, size, needed, returned);
    }
    if (returned) *returned = 0;
    if (level != 2) {
        ::SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const DWORD total = static_cast<DWORD>(script.jobs.size());
    const DWORD available = firstJob < total ? total - firstJob : 0;
    const DWORD n = count < available ? count : available;
    const DWORD need = n * static_cast<DWORD>(sizeof(JOB_INFO_2A));
    if (needed) *needed = need;
    if (size < need || (need && !buffer)) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* jobs = reinterpret_cast<JOB_INFO_2A*>(buffer);
    for (DWORD i = 0; i < n; ++i) {
        std::memset(&jobs[i], 0, sizeof(jobs[i]));
        jobs[i].JobId = firstJob + i + 1;
        jobs[i].Status = script.jobs[firstJob + i];
        jobs[i].Position = firstJob + i + 1;
    }
    if (returned) *returned = n;
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driver) {
    auto remove = Wine<decltype(&::DeletePrinterDriverA)>("DeletePrinterDriverA");
    if (Missing(remove) || !DeletionAllowed(driver)) return FALSE;
    return remove(server, environment, driver);
}

BOOL WINAPI DeletePrinterDriverW(LPWSTR server, LPWSTR environment, LPWSTR driver) {
    auto remove = Wine<decltype(&::DeletePrinterDriverW)>("DeletePrinterDriverW");
    if (Missing(remove) || !DeletionAllowed(Narrow(driver).c_str())) return FALSE;
    return remove(server, environment, driver);
}

BOOL WINAPI DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driver, DWORD flags, DWORD version) {
    auto remove = Wine<decltype(&::DeletePrinterDriverExA)>("DeletePrinterDriverExA");
    if (Missing(remove) || !DeletionAllowed(driver)) return FALSE;
    if (!driver || !DriverKnown(driver)) {
        ::SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    return remove(server, environment, driver, flags & ~static_cast<DWORD>(DPD_DELETE_UNUSED_FILES), version);
}

BOOL WINAPI DeletePrinterDriverExW(LPWSTR server, LPWSTR environment, LPWSTR driver, DWORD flags, DWORD version) {
    auto remove = Wine<decltype(&::DeletePrinterDriverExW)>("DeletePrinterDriverExW");
    const std::string name = Narrow(driver);
    if (Missing(remove) || !DeletionAllowed(name.c_str())) return FALSE;
    if (!driver || !DriverKnown(name.c_str())) {
        ::SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    return remove(server, environment, driver, flags & ~static_cast<DWORD>(DPD_DELETE_UNUSED_FILES), version);
}

}  // extern "C"

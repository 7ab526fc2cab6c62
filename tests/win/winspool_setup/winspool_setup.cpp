// Test-only stand-in for winspool.drv, for running the unchanged Setup.exe
// on Wine's spooler. The end-to-end tests put it into the test prefix's
// system32 (never on the release medium), where Setup takes winspool.drv
// from; it is loaded through WINEDLLOVERRIDES="winspool.drv=n,b", and
// forwards every function to a
// renamed copy of Wine's own winspool.drv (wspl_wine.drv, see
// CMakeLists.txt) except AddPrinterA, where Wine differs from Windows:
//  - Windows creates a printer without a data type (the print processor's
//    default); Wine's AddPrinterA fails with 87 and leaves a queue that can
//    never be opened. The stand-in hands "RAW".
//  - Windows refuses a printer name that exists (ERROR_PRINTER_ALREADY_EXISTS)
//    and a port it does not know (ERROR_UNKNOWN_PORT); Wine accepts both.
//    The stand-in answers them from OpenPrinterA and EnumPortsA.
#include <windows.h>
#include <winspool.h>

#include <vector>

namespace {

HMODULE WineSpooler() {
    static HMODULE module = ::LoadLibraryA("wspl_wine.drv");
    return module;
}

template <class Function>
Function WineFunction(const char* name) {
    HMODULE module = WineSpooler();
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

bool PrinterExists(const char* name) {
    auto open = WineFunction<decltype(&::OpenPrinterA)>("OpenPrinterA");
    auto close = WineFunction<decltype(&::ClosePrinter)>("ClosePrinter");
    HANDLE printer = nullptr;
    if (!open || !close || !name || !open(const_cast<LPSTR>(name), &printer, nullptr)) return false;
    close(printer);
    return true;
}

bool PortKnown(const char* port) {
    auto enumPorts = WineFunction<decltype(&::EnumPortsA)>("EnumPortsA");
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

}  // namespace

extern "C" HANDLE WINAPI AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
    auto add = WineFunction<decltype(&::AddPrinterA)>("AddPrinterA");
    if (!add) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (level != 2 || !info) return add(server, level, info);
    PRINTER_INFO_2A printer = *reinterpret_cast<const PRINTER_INFO_2A*>(info);
    if (PrinterExists(printer.pPrinterName)) {
        ::SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
        return nullptr;
    }
    if (!PortKnown(printer.pPortName)) {
        ::SetLastError(ERROR_UNKNOWN_PORT);
        return nullptr;
    }
    char raw[] = "RAW";
    if (!printer.pDatatype) printer.pDatatype = raw;
    return add(server, level, reinterpret_cast<LPBYTE>(&printer));
}

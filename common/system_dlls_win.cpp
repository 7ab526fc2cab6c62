#include "common/system_dlls_win.h"

namespace common {

// Looked up in kernel32 (always loaded) rather than imported, so that on a
// Windows without it (7 before its update) the program still starts and
// refuses with its own message.
void TakeDllsFromSystem32() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32");
    auto setDirectories = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                 : nullptr;
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

bool LoadSystemFunctions(const char* dll, const char* const* names, int count, FARPROC* functions) {
    HMODULE module = ::LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return false;
    for (int i = 0; i < count; ++i) {
        functions[i] = ::GetProcAddress(module, names[i]);
        if (!functions[i]) {
            ::FreeLibrary(module);
            ::SetLastError(ERROR_PROC_NOT_FOUND);
            return false;
        }
    }
    return true;
}

namespace {

template <class Function>
void Take(FARPROC found, Function* function) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

struct LoadedSpooler {
    SpoolerFunctions functions = {};
    bool loaded = false;
    DWORD error = 0;
};

LoadedSpooler LoadSpooler() {
    static const char* const names[] = {
        "GetPrinterDriverDirectoryA", "AddPrinterDriverA", "AddPrinterA",   "ClosePrinter",
        "SetDefaultPrinterA",         "EnumPrintersA",     "OpenPrinterA",  "DeletePrinter",
        "DeletePrinterDriverExA",     "EnumPortsA",        "EnumPrinterDriversA"};
    constexpr int count = sizeof(names) / sizeof(names[0]);
    LoadedSpooler spooler;
    FARPROC found[count] = {};
    if (!LoadSystemFunctions("winspool.drv", names, count, found)) {
        spooler.error = ::GetLastError();
        return spooler;
    }
    SpoolerFunctions& f = spooler.functions;
    Take(found[0], &f.GetPrinterDriverDirectoryA);
    Take(found[1], &f.AddPrinterDriverA);
    Take(found[2], &f.AddPrinterA);
    Take(found[3], &f.ClosePrinter);
    Take(found[4], &f.SetDefaultPrinterA);
    Take(found[5], &f.EnumPrintersA);
    Take(found[6], &f.OpenPrinterA);
    Take(found[7], &f.DeletePrinter);
    Take(found[8], &f.DeletePrinterDriverExA);
    Take(found[9], &f.EnumPortsA);
    Take(found[10], &f.EnumPrinterDriversA);
    static_assert(sizeof(SpoolerFunctions) == count * sizeof(FARPROC), "one name per function");
    spooler.loaded = true;
    return spooler;
}

}  // namespace

const SpoolerFunctions* SystemSpooler() {
    static const LoadedSpooler spooler = LoadSpooler();
    if (!spooler.loaded) {
        ::SetLastError(spooler.error ? spooler.error : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &spooler.functions;
}

}  // namespace common

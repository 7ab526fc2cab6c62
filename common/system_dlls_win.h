// The elevated programs take every DLL they load at run time from System32
// only: a DLL of the same name planted beside the executable (on a stick, a
// share, in a download folder) must never run with the administrator's
// rights. The print spooler's winspool.drv is no KnownDLL, so the programs
// do not import it; they load it here and call it through a table.
#pragma once

#include <windows.h>

#include <winspool.h>

namespace common {

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) for the process:
// the first thing an elevated program's WinMain does.
void TakeDllsFromSystem32();

// The spooler functions the elevated programs call.
struct SpoolerFunctions {
    decltype(&::GetPrinterDriverDirectoryA) GetPrinterDriverDirectoryA;
    decltype(&::AddPrinterDriverA) AddPrinterDriverA;
    decltype(&::AddPrinterA) AddPrinterA;
    decltype(&::ClosePrinter) ClosePrinter;
    decltype(&::SetDefaultPrinterA) SetDefaultPrinterA;
    decltype(&::EnumPrintersA) EnumPrintersA;
    decltype(&::OpenPrinterA) OpenPrinterA;
    decltype(&::DeletePrinter) DeletePrinter;
    decltype(&::DeletePrinterDriverExA) DeletePrinterDriverExA;
    decltype(&::EnumPortsA) EnumPortsA;
    decltype(&::EnumPrinterDriversA) EnumPrinterDriversA;
};

// System32's winspool.drv (LoadLibraryExA with LOAD_LIBRARY_SEARCH_SYSTEM32)
// and its functions, loaded at the first call and kept for the process.
// Null when the DLL or one of the functions cannot be had; GetLastError then
// tells why (the load's error, or ERROR_PROC_NOT_FOUND), on every call.
const SpoolerFunctions* SystemSpooler();

// The same for any DLL: loads `dll` from System32 and looks up `count`
// names into `functions`; false (GetLastError set) when the DLL does not
// load from there or a name is missing. The DLL stays loaded.
bool LoadSystemFunctions(const char* dll, const char* const* names, int count, FARPROC* functions);

}  // namespace common

/* Test-only stand-in for the spooler DLL (never shipped): loaded in place of
 * Wine's winspool.drv by an unchanged program under test (DLL override
 * "winspool.drv=n,b", this file as winspool.drv in the test prefix's
 * system32, the only folder the elevated programs take it from), it
 * forwards every call to a renamed copy of Wine's own DLL, "wspreal.dll",
 * and supplies what Wine's spooler lacks and Windows has:
 *
 * - DeletePrinterDriverExA: Wine refuses every delete flag with
 *   ERROR_INVALID_PARAMETER. Windows deletes the driver and, with
 *   DPD_DELETE_UNUSED_FILES, those of its files no other driver uses; the
 *   stand-in deletes the driver (its files stay). A driver the spooler does
 *   not know is reported as Windows does, ERROR_UNKNOWN_PRINTER_DRIVER. */
#include <windows.h>
#include <winspool.h>

typedef BOOL(WINAPI* DeleteDriverFn)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);
typedef BOOL(WINAPI* EnumDriversFn)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);

static FARPROC Real(const char* name) {
    static HMODULE real;
    if (!real) real = LoadLibraryA("wspreal.dll");
    return real ? GetProcAddress(real, name) : NULL;
}

/* The driver is installed for the current environment. */
static BOOL DriverKnown(const char* driver) {
    EnumDriversFn enumDrivers = (EnumDriversFn)(void*)Real("EnumPrinterDriversA");
    DWORD needed = 0, count = 0, i;
    BYTE* buffer;
    BOOL known = FALSE;
    if (!enumDrivers) return FALSE;
    enumDrivers(NULL, NULL, 1, NULL, 0, &needed, &count);
    buffer = (BYTE*)HeapAlloc(GetProcessHeap(), 0, needed ? needed : 1);
    if (buffer && enumDrivers(NULL, NULL, 1, buffer, needed, &needed, &count))
        for (i = 0; i < count; ++i)
            if (lstrcmpiA(((DRIVER_INFO_1A*)buffer)[i].pName, driver) == 0) known = TRUE;
    if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
    return known;
}

__declspec(dllexport) BOOL WINAPI DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driver, DWORD flags,
                                                         DWORD version) {
    DeleteDriverFn real = (DeleteDriverFn)(void*)Real("DeletePrinterDriverExA");
    if (!real) return FALSE;
    if (!driver || !DriverKnown(driver)) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    return real(server, environment, driver, flags & ~(DWORD)DPD_DELETE_UNUSED_FILES, version);
}

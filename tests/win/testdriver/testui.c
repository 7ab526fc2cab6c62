/* Test-only printer driver configuration module (never shipped). Wine's
 * AddPrinterA loads the queue driver's configuration module and asks it for
 * the device mode size through DrvDocumentPropertySheets; this module
 * answers with a plain DEVMODEW so that test queues can be created. */
#include <windows.h>

/* DOCUMENTPROPERTYHEADER, absent from the mingw-w64 headers. */
typedef struct {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} TestDocumentPropertyHeader;

#define TEST_DM_COPY 2 /* DM_OUT_BUFFER */

__declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(void* sheetInfo, LPARAM lParam) {
    TestDocumentPropertyHeader* header = (TestDocumentPropertyHeader*)lParam;
    if (sheetInfo == NULL && header != NULL && (header->fMode & TEST_DM_COPY) &&
        header->pdmOut != NULL && header->cbOut >= sizeof(DEVMODEW)) {
        DEVMODEW* dm = header->pdmOut;
        ZeroMemory(dm, sizeof(*dm));
        if (header->pdmIn != NULL && header->pdmIn->dmSize <= sizeof(*dm))
            CopyMemory(dm, header->pdmIn, header->pdmIn->dmSize);
        else {
            if (header->pszPrinterName != NULL)
                lstrcpynW(dm->dmDeviceName, header->pszPrinterName, CCHDEVICENAME);
            dm->dmSpecVersion = DM_SPECVERSION;
            dm->dmSize = sizeof(*dm);
        }
        return IDOK;
    }
    return sizeof(DEVMODEW);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

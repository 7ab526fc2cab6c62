// The status monitor's entry: one monitor per model on the machine, then
// the status window for the whole life of the process.
#include <windows.h>
#include <commctrl.h>

#include "catalogue/model_catalogue.h"
#include "framework/app.h"
#include "statmon/ui/status_monitor_dlg_win.h"

namespace {

// The named mutex and the error reported right after its creation; the
// handle is closed on every way out.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const char* name)
        : m_hMutex(::CreateMutexA(nullptr, FALSE, name)), m_dwLastError(::GetLastError()) {}
    ~SingleInstanceGuard() {
        if (m_hMutex) ::CloseHandle(m_hMutex);
    }
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    bool AnotherInstanceRuns() const { return m_dwLastError == ERROR_ALREADY_EXISTS; }

private:
    HANDLE m_hMutex;
    DWORD m_dwLastError;
};

class CStatusMonitorApp : public framework::CWinApp {
public:
    BOOL InitInstance() override {
        SingleInstanceGuard guard(catalogue::Target().MonitorMutexName);
        if (guard.AnotherInstanceRuns()) return FALSE;  // ends silently

        ::InitCommonControls();
        CStatusMonitorDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

CStatusMonitorApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return framework::AppMain(instance);
}

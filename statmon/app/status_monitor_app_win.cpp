// The status monitor's entry: one monitor per model on the machine, then
// the status window for the whole life of the process.
#include <windows.h>
#include <commctrl.h>

#include "catalogue/model_catalogue.h"
#include "common/single_instance.h"
#include "framework/app.h"
#include "statmon/ui/status_monitor_dlg_win.h"
// Last: it brings winspool.h, whose PORT_STATUS_* macros would replace the
// monitor's own names of the port status codes.
#include "common/system_dlls_win.h"

namespace {

class CStatusMonitorApp : public framework::CWinApp {
public:
    BOOL InitInstance() override {
        common::SingleInstanceGuard guard(common::Win32Mutexes(), catalogue::Target().MonitorMutexName);
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
    // Its first run is started elevated by Setup: DLLs loaded at run time
    // come from System32 only, as in Setup.
    common::TakeDllsFromSystem32();  // before anything can load a DLL
    return framework::AppMain(instance);
}

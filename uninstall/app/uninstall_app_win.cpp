// The uninstaller's entry: the application object. Instance initialisation
// holds Setup's mutex while it runs, so that it never runs beside Setup or
// another uninstaller, and hands over to the removal logic; it always
// answers FALSE, so the program ends when it returns.
#include <windows.h>

#include <commctrl.h>

#include "common/system_dlls_win.h"
#include "framework/app.h"
#include "installation/startup.h"
#include "uninstall/remove/uninstaller.h"

namespace uninstall {

using namespace installation;

class CUninstallApp : public framework::CWinApp {
public:
    BOOL InitInstance() override;
};

BOOL CUninstallApp::InitInstance() {
    common::SingleInstanceGuard guard(common::Win32Mutexes(), installation::kSetupMutexName);
    ::InitCommonControls();
    CUninstallerCore uninstaller(installation::Win32Platform());
    uninstaller.Run(guard);
    return FALSE;  // the mutex goes now
}

CUninstallApp theApp;

}  // namespace uninstall

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    common::TakeDllsFromSystem32();  // before anything can load a DLL
    return framework::AppMain(instance);
}

// Setup's entry: the application object. Instance initialisation makes the
// start-up checks, flashes the please-wait window and runs the main dialog
// modally; it always answers FALSE, so the framework's message loop is never
// entered and the program ends when it returns.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "common/system_dlls_win.h"
#include "framework/app.h"
#include "installation/startup.h"
#include "setup/ui/file_copy_win.h"
#include "setup/ui/setup_dlg_win.h"

namespace setup {

using namespace installation;
namespace {

#if !defined(_WIN64)
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA as the 32-bit system reads it");
#endif

class Win32StartupSystem : public IStartupSystem {
public:
    common::MutexHandle CreateNamedMutex(const char* name, std::uint32_t* lastError) override {
        return common::Win32Mutexes().CreateNamedMutex(name, lastError);
    }
    void CloseMutex(common::MutexHandle handle) override { common::Win32Mutexes().CloseMutex(handle); }
    void GetVersion(std::uint32_t* major, std::uint32_t* minor) override {
        OSVERSIONINFOA version;
        ::ZeroMemory(&version, sizeof(version));
        version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
        ::GetVersionExA(&version);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        *major = version.dwMajorVersion;
        *minor = version.dwMinorVersion;
    }
    bool QueryWow64(bool* wow64) override {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        HMODULE kernel = ::GetModuleHandleA("kernel32");
        auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                    reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")))
                              : nullptr;
        if (!isWow64) return false;
        BOOL answer = FALSE;
        isWow64(::GetCurrentProcess(), &answer);
        *wow64 = answer != FALSE;
        return true;
    }
    bool IsUserAnAdmin() override { return ::IsUserAnAdmin() != FALSE; }
};

}  // namespace

class CSetupApp : public framework::CWinApp {
public:
    BOOL InitInstance() override;
};

BOOL CSetupApp::InitInstance() {
    Win32StartupSystem system;
    common::SingleInstanceGuard guard(system, kSetupMutexName);
    if (!CheckEnvironment(guard, system, Win32Platform().desktop)) return FALSE;

    ::InitCommonControls();

    CSetupDlg dialog;
    m_pMainWnd = &dialog;

    CFileCopy pleaseWait;
    if (pleaseWait.Create(CFileCopy::IDD)) {
        pleaseWait.ShowWindow(SW_SHOW);
        ::UpdateWindow(pleaseWait.m_hWnd);  // painted once: no messages are processed in the wait
        ::Sleep(1000);
        pleaseWait.ShowWindow(SW_HIDE);
    }

    dialog.DoModal();  // its result is not used

    // The please-wait window goes first, then the main dialog, then the mutex.
    pleaseWait.DestroyWindow();
    m_pMainWnd = nullptr;
    return FALSE;  // the program ends
}

CSetupApp theApp;

}  // namespace setup

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    common::TakeDllsFromSystem32();  // before anything can load a DLL
    return framework::AppMain(instance);
}

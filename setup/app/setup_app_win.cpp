// Setup's entry: the application object. Instance initialisation makes the
// start-up checks, flashes the please-wait window and runs the main dialog
// modally; it always answers FALSE, so the framework's message loop is never
// entered and the program ends when it returns.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "catalogue/model_catalogue.h"
#include "common/system_dlls_win.h"
#include "framework/app.h"
#include "installation/command_line.h"
#include "installation/log_file_win.h"
#include "installation/maker.h"
#include "installation/quiet_platform.h"
#include "installation/startup.h"
#include "installation/startup_win.h"
#include "setup/app/unattended_setup.h"
#include "setup/install/installer.h"
#include "setup/ui/file_copy_win.h"
#include "setup/ui/setup_dlg_win.h"

namespace setup {

using namespace installation;
namespace {

// The medium's files are found in SetupFolder, the working directory. A
// deployment tool starts Setup in a folder of its own (System32, for the
// system account), so an unattended run takes the folder Setup lies in.
void WorkInOwnFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = std::strrchr(path, '\\');
    if (!slash) return;
    *slash = '\0';
    ::SetCurrentDirectoryA(path);
}

}  // namespace

class CSetupApp : public framework::CWinApp {
public:
    BOOL InitInstance() override;

    std::string m_strArguments;  // the command line after the program's name

private:
    // The dialog flow, as Setup runs without arguments.
    void RunDialogs(const common::SingleInstanceGuard& guard, Win32StartupSystem& system);
};

BOOL CSetupApp::InitInstance() {
    const CommandLine line = ReadCommandLine(m_strArguments, true);
    StepLog& log = SetupLog();
    // A quiet run always has a log: where /log says, else in the Windows
    // temp folder.
    std::string logPath = line.log;
    if (line.quiet && !line.hasLog) logPath = DefaultLogPath(SetupLogName().c_str());
    Win32LogFile logFile(logPath);
    const bool logWritable = logPath.empty() || log.Open(&logFile);
    log.Note("started", std::string(catalogue::SetupVersionText) + "; arguments: " + m_strArguments);

    Win32StartupSystem system;
    const InstallerPlatform& platform = Win32Platform();
    QuietPlatform quiet(platform, log);
    const UsageAnswer usage = AnswerUsage(line, true, logWritable, SetupUsageText(), platform.desktop, log);
    if (usage.ends) {
        m_nExitCode = static_cast<int>(usage.exitCode);
    } else if (Unattended(line)) {
        WorkInOwnFolder();
        common::SingleInstanceGuard guard(system, kSetupMutexName);
        UnattendedSetup setup(line.quiet ? quiet.Platform() : platform, log, line.quiet);
        m_nExitCode = static_cast<int>(setup.Run(line.port, guard, system));
    } else {
        common::SingleInstanceGuard guard(system, kSetupMutexName);
        RunDialogs(guard, system);
    }
    log.Note("Setup ended", ExitCodeText(static_cast<std::uint32_t>(m_nExitCode)));
    return FALSE;  // the program ends
}

void CSetupApp::RunDialogs(const common::SingleInstanceGuard& guard, Win32StartupSystem& system) {
    if (!CheckEnvironment(guard, system, Win32Platform().desktop)) return;

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
}

CSetupApp theApp;

}  // namespace setup

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    common::TakeDllsFromSystem32();  // before anything can load a DLL
    setup::theApp.m_strArguments = arguments ? arguments : "";
    return framework::AppMain(instance);
}

// The uninstaller's entry: the application object. Instance initialisation
// holds Setup's mutex while it runs, so that it never runs beside Setup or
// another uninstaller, and hands over to the removal logic; it always
// answers FALSE, so the program ends when it returns. With /quiet it asks
// nothing, shows nothing and ends with an exit code (quiet_uninstall.h).
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "common/system_dlls_win.h"
#include "framework/app.h"
#include "installation/command_line.h"
#include "installation/log_file_win.h"
#include "installation/maker.h"
#include "installation/quiet_platform.h"
#include "installation/startup.h"
#include "installation/startup_win.h"
#include "uninstall/app/quiet_uninstall.h"
#include "uninstall/remove/uninstaller.h"

namespace uninstall {

using namespace installation;

class CUninstallApp : public framework::CWinApp {
public:
    BOOL InitInstance() override;

    std::string m_strArguments;  // the command line after the program's name
};

BOOL CUninstallApp::InitInstance() {
    const CommandLine line = ReadCommandLine(m_strArguments, false);
    StepLog log("Uninstall");
    std::string logPath = line.log;
    if (line.quiet && !line.hasLog) logPath = DefaultLogPath(kUninstallLogName);
    Win32LogFile logFile(logPath);
    const bool logWritable = logPath.empty() || log.Open(&logFile);
    log.Note("started", "arguments: " + m_strArguments);

    const InstallerPlatform& platform = Win32Platform();
    const UsageAnswer usage = AnswerUsage(line, false, logWritable, UninstallUsageText(), platform.desktop, log);
    if (usage.ends) {
        m_nExitCode = static_cast<int>(usage.exitCode);
    } else if (line.quiet) {
        Win32StartupSystem system;
        common::SingleInstanceGuard guard(system, kSetupMutexName);
        QuietPlatform quiet(platform, log);
        CUninstallerCore uninstaller(quiet.Platform());
        m_nExitCode = static_cast<int>(RunQuietly(uninstaller, guard, system, log));
    } else {
        common::SingleInstanceGuard guard(common::Win32Mutexes(), kSetupMutexName);
        ::InitCommonControls();
        CUninstallerCore uninstaller(platform);
        uninstaller.Run(guard);
        if (log.IsOpen()) m_nExitCode = static_cast<int>(LogSteps(uninstaller.m_steps, log));
    }
    log.Note("Uninstall ended", ExitCodeText(static_cast<std::uint32_t>(m_nExitCode)));
    return FALSE;  // the mutex goes now
}

CUninstallApp theApp;

}  // namespace uninstall

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    common::TakeDllsFromSystem32();  // before anything can load a DLL
    uninstall::theApp.m_strArguments = arguments ? arguments : "";
    return framework::AppMain(instance);
}

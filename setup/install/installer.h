// The installation proper on a chosen port: driver directory, printer
// driver, printer queue (made the default printer), status monitor with its
// auto-start, shortcut and launch, INF pre-installation, uninstall entry,
// and one message box with the outcome.
//
// This is the platform-free part of CInstaller (installer_win.h), which adds
// the window object and the running system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "installation/driver_directory.h"
#include "installation/platform.h"
#include "installation/port_driver_service.h"
#include "installation/step_log.h"

namespace setup {

// How long the printer creation waits for a port the spooler does not know
// yet (a USB port Windows is still setting up): tries and the pause between.
constexpr int kUnknownPortTries = 30;
constexpr std::uint32_t kUnknownPortPauseMs = 2000;

constexpr std::size_t kPathChars = 260;

// Lists of NUL-ended names ended by an empty name (the array's own NUL).
constexpr char kDependentFiles[] =
    "KLRN9pin.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0unires.dll\0stdnames.gpd\0";

// Setup's log: it writes to a file once the command line asked for one
// (/log, or an unattended run).
installation::StepLog& SetupLog();

class CInstallerCore {
public:
    explicit CInstallerCore(const installation::InstallerPlatform& platform);
    virtual ~CInstallerCore() = default;
    CInstallerCore(const CInstallerCore&) = delete;
    CInstallerCore& operator=(const CInstallerCore&) = delete;

    // The whole sequence; its outcome is left in the flags, m_strResult and
    // m_strPrinterName, and each step's in the log.
    void Install();
    // One message box chosen from the flags.
    void ReportResult();

    bool QueryDriverDirectory();
    bool AddDriver();
    bool CreatePrinter();
    bool PreinstallInf();

    // Status monitor and uninstall entry.
    bool CopyStatusMonitor();
    bool RegisterAutoStart();
    // The monitor's event source in the Application log.
    bool RegisterEventSource();
    bool CreateMonitorShortcut();
    void LaunchStatusMonitor();
    bool RegisterUninstall();
    // The monitor's port driver service, ready for a later parallel port.
    installation::PortDriverSetup SetUpPortDriver();

    // DriverDirectory (empty before the first successful query) and the
    // places derived from it.
    std::string DriverDirectory() const;
    std::string MonitorPath() const;
    std::string ShortcutFolder(char drive) const;

    std::string m_strPort;
    bool m_bDirectoryOk = false;
    bool m_bDriverOk = false;
    bool m_bPrinterOk = false;
    std::string m_strResult;
    std::string m_strPrinterName;
    installation::DriverDirectoryBuffer m_pszDriverDir;  // the last directory read in full
    char m_szInfPath[kPathChars] = {};
    char m_szOemInfName[kPathChars] = {};

    // Where each step's outcome goes: Setup's log by default.
    installation::StepLog* m_pLog = &SetupLog();
    // The monitor is started once installed; an unattended run leaves it
    // to the next log-on.
    bool m_bStartMonitor = true;

protected:
    const installation::InstallerPlatform& m_platform;
    // The code of a step's failure where the system does not leave it as
    // the last error (registry results, the shell's copy); 0 for none.
    std::uint32_t m_dwStepError = 0;

private:
    // One creation of the printer, waiting a bounded time while the port is
    // unknown; answers success and leaves the last failure code.
    bool AddPrinterWaitingForPort(installation::PrinterRecord& record, std::uint32_t& error);
    char ProgramsDrive();
    // Logs the step done, or failed with m_dwStepError or else the last error.
    void LogStep(const std::string& step, bool ok);
};

}  // namespace setup

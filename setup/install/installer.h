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

namespace setup {

// How long the printer creation waits for a port the spooler does not know
// yet (a USB port Windows is still setting up): tries and the pause between.
constexpr int kUnknownPortTries = 30;
constexpr std::uint32_t kUnknownPortPauseMs = 2000;

constexpr std::size_t kPathChars = 260;

// Lists of NUL-ended names ended by an empty name (the array's own NUL).
constexpr char kDependentFiles[] =
    "KLRN9pin.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0unires.dll\0stdnames.gpd\0";

class CInstallerCore {
public:
    explicit CInstallerCore(const installation::InstallerPlatform& platform);
    virtual ~CInstallerCore() = default;
    CInstallerCore(const CInstallerCore&) = delete;
    CInstallerCore& operator=(const CInstallerCore&) = delete;

    // The whole sequence; its outcome is left in the flags, m_strResult and
    // m_strPrinterName.
    void Install();
    // One message box chosen from the flags.
    void ReportResult();

    bool QueryDriverDirectory();
    bool AddDriver();
    bool CreatePrinter();
    bool PreinstallInf();

    // Status monitor and uninstall entry.
    bool CopyStatusMonitor();
    void RegisterAutoStart();
    void CreateMonitorShortcut();
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

protected:
    const installation::InstallerPlatform& m_platform;

private:
    // One creation of the printer, waiting a bounded time while the port is
    // unknown; answers success and leaves the last failure code.
    bool AddPrinterWaitingForPort(installation::PrinterRecord& record, std::uint32_t& error);
    char ProgramsDrive();
};

}  // namespace setup

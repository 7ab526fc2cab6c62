// Taking the model's installation away again: the running status monitor,
// the queues of the model's driver and the driver, the monitor's start at
// log-on, shortcut and program, the model's INF in the driver store and,
// unless another model of the maker is still installed, the maker's entry
// in Programs and Features. Then one message box tells what was removed,
// kept or could not be removed.
//
// Shared files of the driver directory (Unidrv's, the maker's plug-in, the
// executables beside them), the port-I/O driver service and everything of
// other models and other printers stay.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/single_instance.h"
#include "installation/driver_directory.h"
#include "installation/platform.h"
#include "uninstall/remove/report.h"

namespace uninstall {

// How long a running monitor gets to end after its Exit command.
constexpr std::uint32_t kMonitorExitWaitMs = 15000;

class CUninstallerCore {
public:
    explicit CUninstallerCore(const installation::InstallerPlatform& platform);
    CUninstallerCore(const CUninstallerCore&) = delete;
    CUninstallerCore& operator=(const CUninstallerCore&) = delete;

    // The program: refused while Setup or another uninstaller runs (the
    // guard holds Setup's mutex); else the question and, on Yes, the
    // removal and its report.
    void Run(const common::SingleInstanceGuard& guard);

    // The Yes/No question; true on Yes.
    bool Confirm();
    // The steps in their order; each is tried whatever the others did.
    void Remove();
    // One message box from what the steps recorded.
    void ReportResult();

    void StopStatusMonitor();
    void RemovePrinters();
    void RemoveMonitor();
    void RemoveStoredInf();
    void RemoveUninstallEntry();
    // DisplayName of another model of the catalogue whose Run value or
    // monitor program is there; empty when there is none.
    std::string OtherInstalledModel();

    std::vector<Step> m_steps;

private:
    void Record(Part part, const std::string& name, Outcome outcome, std::uint32_t error = 0);
    // The outcome of one removal: error 0 is removed, the codes that say
    // the thing was not there record nothing, others a failure.
    void RecordRemoval(Part part, const std::string& name, std::uint32_t error);
    std::uint32_t LastError() { return m_platform.kernel.GetLastError(); }
    std::string DriverDirectory() const;

    const installation::InstallerPlatform& m_platform;
    installation::DriverDirectoryBuffer m_pszDriverDir;
    bool m_bDirectoryOk = false;
    std::uint32_t m_dwDirectoryError = 0;
};

}  // namespace uninstall

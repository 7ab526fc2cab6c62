// Taking the maker's printer software away again. One uninstaller serves
// every model of the catalogue, as the maker's one entry in Programs and
// Features does: it finds each model that left any trace of Setup (its
// printer driver or a queue of it, its monitor's start at log-on, shortcut
// or program, its INF in the driver store), names them all in its one
// question and, on Yes, ends their running monitors and then removes each
// model in turn: the queues of its driver and the driver, the monitor's
// start, shortcut and program, the stored INF and the files the driver file
// copy staged for it. Once no model is left and nothing failed, the maker's
// plug-in, the uninstaller itself (when Windows next starts) and the entry
// go too; after a failure the entry stays, so that the user can run
// Uninstall again. One message box tells what was removed, kept or could
// not be removed. With the last model the monitors' port-I/O driver
// service and its file go too, when they are ours.
//
// Files of the system's Unidrv and of other makers, another product's
// port-I/O driver and everything of other printers stay.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/model_catalogue.h"
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

    // Fills m_models with every model of the catalogue that left a trace.
    void FindInstalledModels();
    // The Yes/No question naming those models; true on Yes.
    bool Confirm();
    // The removal; each step is tried whatever the others did.
    void Remove();
    // One message box from what the steps recorded.
    void ReportResult();

    std::vector<catalogue::ModelRow> m_models;
    std::vector<Step> m_steps;

private:
    bool LeftTrace(const catalogue::ModelRow& model, const std::vector<std::string>& drivers,
                   const std::vector<installation::PrinterEntry>& printers);
    void StopStatusMonitor(const catalogue::ModelRow& model);
    void RemovePrinters(const catalogue::ModelRow& model);
    void RemoveMonitor(const catalogue::ModelRow& model);
    void RemoveStoredInf(const catalogue::ModelRow& model);
    // The model's INF, GPD and catalog file in DriverDirectory, recorded
    // for `owner`.
    void RemoveStagedFiles(const std::string& owner, const catalogue::ModelRow& model);
    void RemoveSharedParts();
    void RemoveUninstaller();

    // The INFs in the driver store (oem<n>.inf) and the names they came
    // with; those that came with the model's INF.
    void ReadDriverStore();
    std::vector<std::string> StoredInfs(const catalogue::ModelRow& model) const;
    // The drives the shortcut may be on: the one Setup would choose for
    // this user and the Windows drive.
    std::vector<char> ShortcutDrives();
    bool Failed(const std::string& model) const;
    void Record(const std::string& model, Part part, const std::string& name, Outcome outcome,
                std::uint32_t error = 0);
    // The outcome of one removal: error 0 is removed, the codes that say
    // the thing was not there record nothing, others a failure.
    void RecordRemoval(const std::string& model, Part part, const std::string& name, std::uint32_t error);
    std::uint32_t LastError() { return m_platform.kernel.GetLastError(); }
    std::string DriverDirectory() const;
    std::vector<std::string> ModelNames() const;

    const installation::InstallerPlatform& m_platform;
    installation::DriverDirectoryBuffer m_pszDriverDir;
    struct StoredInf {
        std::string name, original;
    };
    std::vector<StoredInf> m_storedInfs;
    bool m_bDirectoryOk = false;
    std::uint32_t m_dwDirectoryError = 0;
};

}  // namespace uninstall

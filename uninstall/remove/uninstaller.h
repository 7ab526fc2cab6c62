// Taking the maker's printer software away again. One uninstaller serves
// every model of the catalogue, as the maker's one entry in Programs and
// Features does: it finds each model that left any trace of Setup (its
// printer driver or a queue of it, its monitor's start at log-on, shortcut
// or program, its INF in the driver store), names them all in its one
// question and, on Yes, ends their running monitors and then removes each
// model in turn: the queues of its driver and the driver, the monitor's
// start, shortcut and program, the stored INF and the files the driver file
// copy staged for it. Once no model is left and nothing failed, the maker's
// plug-in and the uninstaller itself go too (each only when its version
// resource names the maker), and last of all the entry; after any failure
// the entry, the uninstaller and what the models still need stay, so that
// the user can run Uninstall again. One message box tells what was
// removed, what goes when Windows restarts, what was kept and why, and what
// could not be removed. With the last model the monitors' port-I/O driver
// service and its file go too, when they are ours.
//
// A file that cannot go while it runs (the uninstaller itself, a monitor
// that does not end) is first moved aside to a name only this run uses and
// that name goes when Windows next starts: a Setup run before the restart
// puts new files in place, which the restart leaves alone.
//
// Files of other makers, another product's port-I/O driver and everything
// of other printers stay; the spooler deletes the drivers' files, Unidrv's
// among them, only where no other driver uses them.
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

// What a removal came to, for a caller without the message box.
enum class Result {
    Removed,        // nothing of the software is left (or none was found)
    RestartNeeded,  // the rest goes when Windows next starts
    Failed,         // something is left; the entry stays for another run
};

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
    // The removal; each step of the models is tried whatever the others
    // did, the entry goes last and only when nothing failed. Neither asks
    // nor reports: a caller without the desktop may run FindInstalledModels
    // and Remove alone.
    Result Remove();
    // What the recorded steps came to.
    Result Summary() const;
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
    void RemovePlugIn(const std::string& path);
    void RemoveUninstaller(const std::string& path);
    void RemovePortDriver();
    // A file left on purpose, with the reason (a file of another maker
    // when `checkMaker` and its version resource does not name the maker).
    void Keep(const std::string& owner, Part part, const std::string& path, bool checkMaker);
    bool IsMakersFile(const std::string& path);
    // Moves a file that cannot be deleted now to a name of its own beside
    // the driver files and has that name deleted when Windows next starts;
    // false with the error when either fails (the file then stays where it
    // was).
    bool MoveAsideForRestart(const std::string& path, std::string* aside, std::uint32_t* error);

    // The INFs in the driver store (oem<n>.inf) and the names they came
    // with; those that came with the model's INF.
    void ReadDriverStore();
    std::vector<std::string> StoredInfs(const catalogue::ModelRow& model) const;
    // The drives the shortcut may be on: the one Setup would choose for
    // this user and the Windows drive.
    std::vector<char> ShortcutDrives();
    bool Failed(const std::string& model) const;
    bool AnyFailed() const;
    bool StillRunning(const std::string& model) const;
    void Record(const std::string& model, Part part, const std::string& name, Outcome outcome,
                std::uint32_t error = 0, Reason reason = Reason::None);
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
    // Models whose monitor did not end after its Exit command.
    std::vector<std::string> m_stillRunning;
    // Where the running uninstaller was moved aside to; empty while not.
    std::string m_uninstallerAside;
};

}  // namespace uninstall

#include "uninstall/remove/uninstaller.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "catalogue/model_catalogue.h"
#include "common/event_source.h"
#include "common/monitor_window.h"
#include "installation/startup.h"
#include "installation/driver_directory.h"
#include "installation/layout.h"
#include "installation/maker.h"
#include "installation/port_driver_service.h"

namespace uninstall {

using namespace installation;

namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && SameName(text.substr(text.size() - end.size()), end);
}

// Codes with which the system says that there was nothing to remove.
bool NotThere(std::uint32_t error) {
    return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorUnknownPrinterDriver ||
           error == kErrorInvalidPrinterName;
}

// The maker's files name the maker first in their company ("Kelrona
// Limited").
bool MakersCompany(const std::string& company) {
    const std::string maker = kMakerName;
    return company.size() >= maker.size() && SameName(company.substr(0, maker.size()), maker) &&
           (company.size() == maker.size() || !std::isalpha(static_cast<unsigned char>(company[maker.size()])));
}

// Names tried for a file moved aside before another run of this program
// would take the same one.
constexpr std::uint32_t kAsideTries = 16;

// DriverDirectory\~<name without extension>-<8 hex digits>.tmp
std::string AsideName(const std::string& folder, const std::string& path, std::uint32_t number) {
    std::string base = path.substr(path.rfind('\\') + 1);
    base = base.substr(0, base.rfind('.'));
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "-%08X.tmp", static_cast<unsigned>(number));
    return folder + "\\~" + base + suffix;
}

}  // namespace

CUninstallerCore::CUninstallerCore(const InstallerPlatform& platform) : m_platform(platform) {}

void CUninstallerCore::Run(const common::SingleInstanceGuard& guard) {
    if (guard.AnotherInstanceRuns()) {
        m_platform.desktop.ShowMessage(kAnotherSetupText, kSetupCaption, kMbOk | kMbIconError);
        return;
    }
    FindInstalledModels();
    if (!Confirm()) return;
    Remove();
    ReportResult();
}

void CUninstallerCore::FindInstalledModels() {
    m_platform.desktop.BeginWaitCursor();
    m_steps.clear();
    m_stillRunning.clear();
    m_uninstallerAside.clear();
    m_bDirectoryOk = QueryDriverDirectory(m_platform, m_pszDriverDir);
    if (!m_bDirectoryOk) m_dwDirectoryError = LastError();
    std::vector<std::string> drivers;
    std::vector<PrinterEntry> printers;
    // A spooler that cannot be asked may hold drivers and queues of any
    // model: that is a failure (the entry stays), never "none". The other
    // traces still count.
    if (!m_platform.spooler.ListDrivers(&drivers) || !m_platform.spooler.ListPrinters(&printers)) {
        Record("", Part::Spooler, "", Outcome::Failed, LastError());
        drivers.clear();
        printers.clear();
    }
    ReadDriverStore();
    m_models.clear();
    for (int row = 0; row < catalogue::kRowCount; ++row)
        if (LeftTrace(catalogue::Row(row), drivers, printers)) m_models.push_back(catalogue::Row(row));
    m_platform.desktop.EndWaitCursor();
}

bool CUninstallerCore::LeftTrace(const catalogue::ModelRow& model, const std::vector<std::string>& drivers,
                                 const std::vector<PrinterEntry>& printers) {
    for (const std::string& driver : drivers)
        if (SameName(driver, model.DisplayName)) return true;
    for (const PrinterEntry& printer : printers)
        if (SameName(printer.driverName, model.DisplayName)) return true;
    common::RegKey run = 0;
    if (m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeyQueryValue, &run) == 0) {
        std::uint8_t data[260] = {};
        std::uint32_t type = common::kRegSz, size = sizeof(data);
        const long result =
            m_platform.registry.QueryValueEx(run, AutoStartValueName(model.ModelCode), &type, data, &size);
        m_platform.registry.CloseKey(run);
        if (result == 0 || result == 234) return true;  // ERROR_MORE_DATA: there, and long
    }
    if (m_bDirectoryOk && m_platform.kernel.FileExists(MonitorPath(DriverDirectory(), model.ModelCode).c_str()))
        return true;
    for (const char drive : ShortcutDrives())
        if (m_platform.kernel.FileExists(ShortcutFile(drive, model.ModelCode).c_str())) return true;
    return !StoredInfs(model).empty();
}

bool CUninstallerCore::Confirm() {
    const std::string question = QuestionText(ModelNames());
    return m_platform.desktop.ShowMessage(question.c_str(), kSetupCaption, kMbYesNo | kMbIconQuestion) == kIdYes;
}

Result CUninstallerCore::Remove() {
    m_platform.desktop.BeginWaitCursor();
    for (const catalogue::ModelRow& model : m_models) StopStatusMonitor(model);
    for (const catalogue::ModelRow& model : m_models) {
        RemovePrinters(model);
        RemoveMonitor(model);
        RemoveStoredInf(model);
        // A model that is still partly there keeps the files its driver
        // may be added again from.
        if (!Failed(model.DisplayName)) {
            RemoveStagedFiles(model.DisplayName, model);
        } else if (m_bDirectoryOk) {
            for (const std::string& file : {std::string(model.InfName), std::string(model.GpdName),
                                            CatalogFileName(model.InfName)})
                Keep(model.DisplayName, Part::StagedFile, DriverDirectory() + "\\" + file, false);
        }
    }
    RemoveSharedParts();
    m_platform.desktop.EndWaitCursor();
    return Summary();
}

Result CUninstallerCore::Summary() const {
    if (AnyFailed()) return Result::Failed;
    const bool restart = std::any_of(m_steps.begin(), m_steps.end(), [](const Step& step) {
        return step.outcome == Outcome::AtRestart && step.part != Part::Uninstaller;
    });
    return restart ? Result::RestartNeeded : Result::Removed;
}

void CUninstallerCore::ReportResult() {
    const Report report = ComposeReport(ModelNames(), m_steps);
    m_platform.desktop.ShowMessage(report.text.c_str(), kSetupCaption, kMbOk | report.icon);
}

void CUninstallerCore::StopStatusMonitor(const catalogue::ModelRow& model) {
    const std::string caption = std::string(model.DisplayName) + common::kStatusCaptionSuffix;
    const IDesktop::WindowHandle window = m_platform.desktop.FindTopWindow(common::kMonitorWindowClass, caption.c_str());
    if (!window) return;  // not running
    // The process is opened before it is asked to end, so that the id
    // cannot meanwhile name another process.
    std::unique_ptr<IProcessWait> process;
    if (const std::uint32_t id = m_platform.desktop.WindowProcessId(window))
        process = m_platform.kernel.OpenProcessToWait(id);
    if (!process || !m_platform.desktop.PostCommand(window, common::kMonitorExitCommand)) {
        Record(model.DisplayName, Part::Monitor, "", Outcome::Failed, LastError());
        return;
    }
    if (process->WaitForEnd(kMonitorExitWaitMs))
        Record(model.DisplayName, Part::Monitor, "", Outcome::Removed);
    else
        m_stillRunning.push_back(model.DisplayName);  // its program goes at restart (RemoveMonitor)
}

void CUninstallerCore::RemovePrinters(const catalogue::ModelRow& model) {
    const std::string driver = model.DisplayName;
    std::vector<PrinterEntry> printers;
    if (m_platform.spooler.ListPrinters(&printers)) {
        for (const PrinterEntry& printer : printers) {
            if (!SameName(printer.driverName, driver)) continue;
            const bool deleted = m_platform.spooler.DeleteQueue(printer.printerName.c_str());
            RecordRemoval(driver, Part::Queue, printer.printerName, deleted ? 0 : LastError());
        }
    } else {
        Record(driver, Part::Queues, "", Outcome::Failed, LastError());
    }
    // The spooler keeps every file another driver still uses.
    const bool deleted = m_platform.spooler.DeleteDriver(driver.c_str(), kDpdDeleteUnusedFiles);
    RecordRemoval(driver, Part::Driver, driver, deleted ? 0 : LastError());
}

void CUninstallerCore::RemoveMonitor(const catalogue::ModelRow& model) {
    const std::string value = AutoStartValueName(model.ModelCode);
    common::RegKey run = 0;
    long result = m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeySetValue, &run);
    if (result == 0) {
        result = m_platform.registry.DeleteValue(run, value);
        m_platform.registry.CloseKey(run);
    }
    RecordRemoval(model.DisplayName, Part::AutoStart, value, static_cast<std::uint32_t>(result));

    const long source = m_platform.registry.DeleteKey(common::RegRoot::LocalMachine,
                                                      common::EventSourceKey(model.DisplayName));
    RecordRemoval(model.DisplayName, Part::EventSource, common::EventSourceName(model.DisplayName),
                  static_cast<std::uint32_t>(source));

    for (const char drive : ShortcutDrives()) {
        const std::string shortcut = ShortcutFile(drive, model.ModelCode);
        RecordRemoval(model.DisplayName, Part::Shortcut, shortcut,
                      m_platform.kernel.RemoveFile(shortcut.c_str()) ? 0 : LastError());
    }
    const bool running = StillRunning(model.DisplayName);
    if (!m_bDirectoryOk) {
        if (running) Record(model.DisplayName, Part::Monitor, "", Outcome::Failed, kErrorTimeout);
        Record(model.DisplayName, Part::MonitorFile, "", Outcome::Failed, m_dwDirectoryError);
        return;
    }
    const std::string monitor = MonitorPath(DriverDirectory(), model.ModelCode);
    if (!running) {
        RecordRemoval(model.DisplayName, Part::MonitorFile, monitor,
                      m_platform.kernel.RemoveFile(monitor.c_str()) ? 0 : LastError());
        return;
    }
    // A monitor that did not end keeps its program in use until Windows
    // next starts, which ends it.
    std::string aside;
    std::uint32_t error = 0;
    if (MoveAsideForRestart(monitor, &aside, &error)) {
        Record(model.DisplayName, Part::Monitor, "", Outcome::AtRestart, kErrorTimeout);
        Record(model.DisplayName, Part::MonitorFile, monitor, Outcome::AtRestart);
    } else {
        Record(model.DisplayName, Part::Monitor, "", Outcome::Failed, kErrorTimeout);
        RecordRemoval(model.DisplayName, Part::MonitorFile, monitor, error);
    }
}

void CUninstallerCore::ReadDriverStore() {
    m_storedInfs.clear();
    const std::string windows = m_platform.kernel.WindowsDirectory();
    if (windows.empty()) return;
    // The system stores a maker's INF as oem<n>.inf and remembers the
    // name it came with.
    const std::string store = windows + "\\inf\\";
    for (const std::string& name : m_platform.kernel.FindFiles((store + "oem*.inf").c_str()))
        if (EndsWith(name, ".inf"))
            m_storedInfs.push_back({name, m_platform.setupApi.OriginalInfName((store + name).c_str())});
}

std::vector<std::string> CUninstallerCore::StoredInfs(const catalogue::ModelRow& model) const {
    std::vector<std::string> stored;
    for (const StoredInf& inf : m_storedInfs)
        if (SameName(inf.original, model.InfName)) stored.push_back(inf.name);
    return stored;
}

void CUninstallerCore::RemoveStoredInf(const catalogue::ModelRow& model) {
    if (m_platform.kernel.WindowsDirectory().empty()) {
        Record(model.DisplayName, Part::StoredInf, "", Outcome::Failed, LastError());
        return;
    }
    for (const std::string& name : StoredInfs(model)) {
        const bool removed = m_platform.setupApi.UninstallOEMInf(name.c_str(), 0);
        RecordRemoval(model.DisplayName, Part::StoredInf, name, removed ? 0 : LastError());
    }
}

void CUninstallerCore::RemoveStagedFiles(const std::string& owner, const catalogue::ModelRow& model) {
    if (!m_bDirectoryOk) return;  // reported with the monitor program
    for (const std::string& file : {std::string(model.InfName), std::string(model.GpdName),
                                    CatalogFileName(model.InfName)}) {
        const std::string path = DriverDirectory() + "\\" + file;
        RecordRemoval(owner, Part::StagedFile, path,
                      m_platform.kernel.RemoveFile(path.c_str()) ? 0 : LastError());
    }
}

void CUninstallerCore::RemoveSharedParts() {
    // The folders go only when no other program's files are left in them.
    for (const char drive : ShortcutDrives()) {
        const std::string folder = ShortcutFolder(drive);
        if (m_platform.kernel.RemoveFolder(folder.c_str())) Record("", Part::ShortcutFolder, folder, Outcome::Removed);
    }
    if (m_bDirectoryOk) {
        const std::string monitors = MonitorFolder(DriverDirectory());
        if (m_platform.kernel.RemoveFolder(monitors.c_str()))
            Record("", Part::MonitorFolder, monitors, Outcome::Removed);
    }
    // Each of the rest goes only while nothing failed: once something is
    // left, what is needed to remove it stays.
    if (m_bDirectoryOk && !AnyFailed()) {
        // No model is left: whatever the file copy staged for any model of
        // the catalogue, and what they all share, is no longer needed.
        for (int row = 0; row < catalogue::kRowCount; ++row) {
            const catalogue::ModelRow model = catalogue::Row(row);
            const bool removed = std::any_of(m_models.begin(), m_models.end(), [&model](const catalogue::ModelRow& m) {
                return SameName(m.DisplayName, model.DisplayName);
            });
            if (!removed) RemoveStagedFiles("", model);
        }
        // The monitors' port driver goes with the last model, when it is ours.
        if (m_platform.portDriver) RemovePortDriver();
    }
    if (m_bDirectoryOk) {
        const std::string plugIn = DriverDirectory() + "\\" + kMakerPlugIn;
        if (AnyFailed())
            Keep("", Part::StagedFile, plugIn, true);
        else
            RemovePlugIn(plugIn);
        const std::string uninstaller = UninstallerPath(DriverDirectory());
        if (AnyFailed())
            Keep("", Part::Uninstaller, uninstaller, true);
        else
            RemoveUninstaller(uninstaller);
    }
    if (AnyFailed()) {
        Record("", Part::UninstallEntry, "", Outcome::Kept, 0, Reason::Rest);
        return;
    }
    // The very last step.
    const long result = m_platform.registry.DeleteKey(common::RegRoot::LocalMachine, kUninstallKey);
    RecordRemoval("", Part::UninstallEntry, "", static_cast<std::uint32_t>(result));
    if (!AnyFailed() || m_uninstallerAside.empty()) return;
    // The entry stays: its uninstaller goes back in place for the next run,
    // and the restart finds nothing under the name it was to delete.
    const std::string uninstaller = UninstallerPath(DriverDirectory());
    for (Step& step : m_steps) {
        if (step.part != Part::Uninstaller) continue;
        if (m_platform.kernel.RenameFile(m_uninstallerAside.c_str(), uninstaller.c_str()))
            step = {"", Part::Uninstaller, uninstaller, Outcome::Kept, 0, Reason::Rest};
        else
            step = {"", Part::Uninstaller, uninstaller, Outcome::Failed, LastError()};
    }
    m_uninstallerAside.clear();
}

void CUninstallerCore::RemovePlugIn(const std::string& path) {
    if (!m_platform.kernel.FileExists(path.c_str())) return;
    if (!IsMakersFile(path)) {
        Keep("", Part::StagedFile, path, true);
        return;
    }
    RecordRemoval("", Part::StagedFile, path, m_platform.kernel.RemoveFile(path.c_str()) ? 0 : LastError());
}

void CUninstallerCore::RemoveUninstaller(const std::string& path) {
    if (SameName(m_platform.kernel.ProgramPath(), path)) {
        // This very program, which cannot be deleted while it runs.
        std::uint32_t error = 0;
        if (MoveAsideForRestart(path, &m_uninstallerAside, &error))
            Record("", Part::Uninstaller, path, Outcome::AtRestart);
        else
            Record("", Part::Uninstaller, path, Outcome::Failed, error);
        return;
    }
    if (!m_platform.kernel.FileExists(path.c_str())) return;
    if (!IsMakersFile(path)) {
        Keep("", Part::Uninstaller, path, true);
        return;
    }
    RecordRemoval("", Part::Uninstaller, path, m_platform.kernel.RemoveFile(path.c_str()) ? 0 : LastError());
}

void CUninstallerCore::RemovePortDriver() {
    const std::string name = installation::kPortDriverService;
    switch (RemovePortDriverService(*m_platform.portDriver)) {
    case PortDriverRemoval::Removed: Record("", Part::PortDriver, name, Outcome::Removed); break;
    case PortDriverRemoval::AtRestart: Record("", Part::PortDriver, name, Outcome::AtRestart); break;
    case PortDriverRemoval::Foreign: Record("", Part::PortDriver, name, Outcome::Kept, 0, Reason::NotOurs); break;
    case PortDriverRemoval::Absent: break;
    case PortDriverRemoval::Failed: Record("", Part::PortDriver, name, Outcome::Failed, LastError()); break;
    }
}

void CUninstallerCore::Keep(const std::string& owner, Part part, const std::string& path, bool checkMaker) {
    if (!m_platform.kernel.FileExists(path.c_str())) return;
    const bool ours = !checkMaker || SameName(m_platform.kernel.ProgramPath(), path) || IsMakersFile(path);
    Record(owner, part, path, Outcome::Kept, 0, ours ? Reason::Rest : Reason::NotOurs);
}

bool CUninstallerCore::IsMakersFile(const std::string& path) {
    return MakersCompany(m_platform.kernel.FileCompany(path.c_str()));
}

bool CUninstallerCore::MoveAsideForRestart(const std::string& path, std::string* aside, std::uint32_t* error) {
    aside->clear();
    const std::uint32_t seed = m_platform.kernel.UniqueNumber();
    for (std::uint32_t n = 0; n < kAsideTries && aside->empty(); ++n) {
        const std::string name = AsideName(DriverDirectory(), path, seed + n);
        if (m_platform.kernel.RenameFile(path.c_str(), name.c_str())) {
            *aside = name;
        } else {
            *error = LastError();
            if (*error != kErrorAlreadyExists && *error != kErrorFileExists) return false;
        }
    }
    if (aside->empty()) return false;
    if (m_platform.kernel.RemoveFileAtRestart(aside->c_str())) return true;
    *error = LastError();
    // Back in its place, so that nothing is left under the odd name.
    m_platform.kernel.RenameFile(aside->c_str(), path.c_str());
    aside->clear();
    return false;
}

std::vector<char> CUninstallerCore::ShortcutDrives() {
    std::vector<char> drives{ProgramsDrive(m_platform.registry, m_platform.kernel, common::kKeyQueryValue)};
    const std::string windows = m_platform.kernel.WindowsDirectory();
    if (!windows.empty() && std::toupper(static_cast<unsigned char>(windows[0])) !=
                                std::toupper(static_cast<unsigned char>(drives[0])))
        drives.push_back(windows[0]);
    return drives;
}

bool CUninstallerCore::Failed(const std::string& model) const {
    return std::any_of(m_steps.begin(), m_steps.end(),
                       [&model](const Step& step) { return step.model == model && step.outcome == Outcome::Failed; });
}

bool CUninstallerCore::AnyFailed() const {
    return std::any_of(m_steps.begin(), m_steps.end(), [](const Step& step) { return step.outcome == Outcome::Failed; });
}

bool CUninstallerCore::StillRunning(const std::string& model) const {
    return std::find(m_stillRunning.begin(), m_stillRunning.end(), model) != m_stillRunning.end();
}

void CUninstallerCore::Record(const std::string& model, Part part, const std::string& name, Outcome outcome,
                              std::uint32_t error, Reason reason) {
    m_steps.push_back({model, part, name, outcome, error, reason});
}

void CUninstallerCore::RecordRemoval(const std::string& model, Part part, const std::string& name,
                                     std::uint32_t error) {
    if (error == 0)
        Record(model, part, name, Outcome::Removed);
    else if (!NotThere(error))
        Record(model, part, name, Outcome::Failed, error);
}

std::string CUninstallerCore::DriverDirectory() const { return DriverDirectoryText(m_pszDriverDir); }

std::vector<std::string> CUninstallerCore::ModelNames() const {
    std::vector<std::string> names;
    for (const catalogue::ModelRow& model : m_models) names.push_back(model.DisplayName);
    // Nothing found: the uninstaller speaks of the model it came with.
    if (names.empty()) names.push_back(catalogue::Target().DisplayName);
    return names;
}

}  // namespace uninstall

#include "uninstall/remove/uninstaller.h"

#include <cctype>

#include "catalogue/model_catalogue.h"
#include "installation/startup.h"
#include "installation/driver_directory.h"
#include "installation/layout.h"
#include "installation/maker.h"
#include "statmon/ui/commands.h"

namespace uninstall {

using namespace installation;


namespace {

// The status monitor's window is a dialog.
constexpr const char* kDialogClass = "#32770";

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

}  // namespace

CUninstallerCore::CUninstallerCore(const InstallerPlatform& platform) : m_platform(platform) {}

void CUninstallerCore::Run(const common::SingleInstanceGuard& guard) {
    if (guard.AnotherInstanceRuns()) {
        m_platform.desktop.ShowMessage(kAnotherSetupText, kSetupCaption, kMbOk | kMbIconError);
        return;
    }
    if (!Confirm()) return;
    Remove();
    ReportResult();
}

bool CUninstallerCore::Confirm() {
    const std::string question = QuestionText(catalogue::Target().DisplayName);
    return m_platform.desktop.ShowMessage(question.c_str(), kSetupCaption, kMbYesNo | kMbIconQuestion) == kIdYes;
}

void CUninstallerCore::Remove() {
    m_platform.desktop.BeginWaitCursor();
    m_bDirectoryOk = QueryDriverDirectory(m_platform, m_pszDriverDir);
    if (!m_bDirectoryOk) m_dwDirectoryError = LastError();
    StopStatusMonitor();
    RemovePrinters();
    RemoveMonitor();
    RemoveStoredInf();
    RemoveUninstallEntry();
    m_platform.desktop.EndWaitCursor();
}

void CUninstallerCore::ReportResult() {
    const Report report = ComposeReport(catalogue::Target().DisplayName, m_steps);
    m_platform.desktop.ShowMessage(report.text.c_str(), kSetupCaption, kMbOk | report.icon);
}

void CUninstallerCore::StopStatusMonitor() {
    const std::string caption = std::string(catalogue::Target().DisplayName) + statmon::kStatusCaptionSuffix;
    const IDesktop::WindowHandle window = m_platform.desktop.FindTopWindow(kDialogClass, caption.c_str());
    if (!window) return;  // not running
    // The process is opened before it is asked to end, so that the id
    // cannot meanwhile name another process.
    std::unique_ptr<IProcessWait> process;
    if (const std::uint32_t id = m_platform.desktop.WindowProcessId(window))
        process = m_platform.kernel.OpenProcessToWait(id);
    if (!process) {
        Record(Part::Monitor, "", Outcome::Failed, LastError());
        return;
    }
    if (!m_platform.desktop.PostCommand(window, statmon::ID_TRAY_EXIT)) {
        Record(Part::Monitor, "", Outcome::Failed, LastError());
        return;
    }
    if (process->WaitForEnd(kMonitorExitWaitMs))
        Record(Part::Monitor, "", Outcome::Removed);
    else
        Record(Part::Monitor, "", Outcome::Failed, kErrorTimeout);
}

void CUninstallerCore::RemovePrinters() {
    const std::string driver = catalogue::Target().DisplayName;
    std::vector<PrinterEntry> printers;
    if (m_platform.spooler.ListPrinters(&printers)) {
        for (const PrinterEntry& printer : printers) {
            if (!SameName(printer.driverName, driver)) continue;
            const bool deleted = m_platform.spooler.DeleteQueue(printer.printerName.c_str());
            RecordRemoval(Part::Queue, printer.printerName, deleted ? 0 : LastError());
        }
    } else {
        Record(Part::Queues, "", Outcome::Failed, LastError());
    }
    // The spooler keeps every file another driver still uses.
    const bool deleted = m_platform.spooler.DeleteDriver(driver.c_str(), kDpdDeleteUnusedFiles);
    RecordRemoval(Part::Driver, driver, deleted ? 0 : LastError());
}

void CUninstallerCore::RemoveMonitor() {
    const char* code = catalogue::Target().ModelCode;
    const std::string value = AutoStartValueName(code);
    common::RegKey run = 0;
    long result = m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeySetValue, &run);
    if (result == 0) {
        result = m_platform.registry.DeleteValue(run, value);
        m_platform.registry.CloseKey(run);
    }
    RecordRemoval(Part::AutoStart, value, static_cast<std::uint32_t>(result));

    const char drive = ProgramsDrive(m_platform.registry, m_platform.kernel, common::kKeyQueryValue);
    const std::string shortcut = ShortcutFile(drive, code);
    RecordRemoval(Part::Shortcut, shortcut, m_platform.kernel.RemoveFile(shortcut.c_str()) ? 0 : LastError());
    // The folder goes only when no other model's shortcut is left in it.
    const std::string folder = ShortcutFolder(drive);
    if (m_platform.kernel.RemoveFolder(folder.c_str())) Record(Part::ShortcutFolder, folder, Outcome::Removed);

    if (!m_bDirectoryOk) {
        Record(Part::MonitorFile, "", Outcome::Failed, m_dwDirectoryError);
        return;
    }
    const std::string monitor = MonitorPath(DriverDirectory(), code);
    RecordRemoval(Part::MonitorFile, monitor, m_platform.kernel.RemoveFile(monitor.c_str()) ? 0 : LastError());
    const std::string monitors = MonitorFolder(DriverDirectory());
    if (m_platform.kernel.RemoveFolder(monitors.c_str())) Record(Part::MonitorFolder, monitors, Outcome::Removed);
}

void CUninstallerCore::RemoveStoredInf() {
    const std::string windows = m_platform.kernel.WindowsDirectory();
    if (windows.empty()) {
        Record(Part::StoredInf, "", Outcome::Failed, LastError());
        return;
    }
    // The system stores a maker's INF as oem<n>.inf and remembers the
    // name it came with.
    const std::string store = windows + "\\inf\\";
    for (const std::string& name : m_platform.kernel.FindFiles((store + "oem*.inf").c_str())) {
        if (!EndsWith(name, ".inf")) continue;
        const std::string original = m_platform.setupApi.OriginalInfName((store + name).c_str());
        if (!SameName(original, catalogue::Target().InfName)) continue;
        const bool removed = m_platform.setupApi.UninstallOEMInf(name.c_str(), 0);
        RecordRemoval(Part::StoredInf, name, removed ? 0 : LastError());
    }
}

void CUninstallerCore::RemoveUninstallEntry() {
    const std::string other = OtherInstalledModel();
    if (!other.empty()) {
        Record(Part::UninstallEntry, other, Outcome::Kept);
        return;
    }
    const long result = m_platform.registry.DeleteKey(common::RegRoot::LocalMachine, kUninstallKey);
    RecordRemoval(Part::UninstallEntry, "", static_cast<std::uint32_t>(result));
}

std::string CUninstallerCore::OtherInstalledModel() {
    common::RegKey run = 0;
    if (m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeyQueryValue, &run) != 0)
        run = 0;
    std::string found;
    for (int row = 0; row < catalogue::kRowCount && found.empty(); ++row) {
        if (row == catalogue::TargetModel) continue;
        const catalogue::ModelRow model = catalogue::Row(row);
        bool installed = false;
        if (run) {
            std::uint8_t data[260] = {};
            std::uint32_t type = common::kRegSz, size = sizeof(data);
            const long result = m_platform.registry.QueryValueEx(run, AutoStartValueName(model.ModelCode), &type,
                                                                 data, &size);
            installed = result == 0 || result == 234;  // ERROR_MORE_DATA: there, and long
        }
        if (!installed && m_bDirectoryOk)
            installed = m_platform.kernel.FileExists(MonitorPath(DriverDirectory(), model.ModelCode).c_str());
        if (installed) found = model.DisplayName;
    }
    if (run) m_platform.registry.CloseKey(run);
    return found;
}

void CUninstallerCore::Record(Part part, const std::string& name, Outcome outcome, std::uint32_t error) {
    m_steps.push_back({part, name, outcome, error});
}

void CUninstallerCore::RecordRemoval(Part part, const std::string& name, std::uint32_t error) {
    if (error == 0)
        Record(part, name, Outcome::Removed);
    else if (!NotThere(error))
        Record(part, name, Outcome::Failed, error);
}

std::string CUninstallerCore::DriverDirectory() const {
    return installation::DriverDirectoryText(m_pszDriverDir);
}

}  // namespace uninstall

#include "setup/install/installer.h"

#include <cstdio>

#include "catalogue/model_catalogue.h"
#include "common/event_source.h"
#include "installation/download_mark.h"
#include "installation/driver_directory.h"
#include "installation/layout.h"
#include "installation/maker.h"
#include "installation/port_driver_service.h"

namespace setup {

using namespace installation;
namespace {

// 15 June 2009 00:00:00 UTC and version 5.0.0.6.
constexpr std::uint32_t kDriverDateHigh = 0x01C9ED4C;
constexpr std::uint32_t kDriverDateLow = 0x39D00000;
constexpr std::uint64_t kDriverVersion = 0x0005000000000006ULL;

// PRINTER_ATTRIBUTE_DEFAULT | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST.
constexpr std::uint32_t kPrinterAttributes = 0x204;

long SetText(common::IRegistry& registry, common::RegKey key, const char* name, const std::string& text) {
    return registry.SetValueEx(key, name, common::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                               static_cast<std::uint32_t>(text.size() + 1));
}

}  // namespace

installation::StepLog& SetupLog() {
    static installation::StepLog log("Setup");
    return log;
}

CInstallerCore::CInstallerCore(const InstallerPlatform& platform) : m_platform(platform) {}

std::string CInstallerCore::DriverDirectory() const { return DriverDirectoryText(m_pszDriverDir); }

std::string CInstallerCore::MonitorPath() const {
    return setup::MonitorPath(DriverDirectory(), catalogue::Target().ModelCode);
}

std::string CInstallerCore::ShortcutFolder(char drive) const { return setup::ShortcutFolder(drive); }

bool CInstallerCore::QueryDriverDirectory() {
    return setup::QueryDriverDirectory(m_platform, m_pszDriverDir);
}

bool CInstallerCore::AddDriver() {
    const catalogue::ModelRow model = catalogue::Target();
    DriverRecord record;
    record.cVersion = 3;
    record.pName = model.DisplayName;
    record.pEnvironment = nullptr;
    record.pDriverPath = "unidrv.dll";
    record.pDataFile = model.GpdName;
    record.pConfigFile = "unidrvui.dll";
    record.pHelpFile = "unidrv.hlp";
    record.pDependentFiles = kDependentFiles;
    record.ftDriverDateHigh = kDriverDateHigh;
    record.ftDriverDateLow = kDriverDateLow;
    record.dwlDriverVersion = kDriverVersion;
    record.pszMfgName = kMakerName;
    record.pszOEMUrl = kMakerWebAddress;
    record.pszHardwareID = model.HardwareId;
    record.pszProvider = kMakerName;
    return m_platform.spooler.AddPrinterDriverA(record);
}

bool CInstallerCore::AddPrinterWaitingForPort(PrinterRecord& record, std::uint32_t& error) {
    for (int attempt = 1;; ++attempt) {
        if (m_platform.spooler.AddPrinterA(record)) return true;
        error = m_platform.kernel.GetLastError();
        // A port that never becomes known (an empty name, or no port found)
        // ends the wait after the last try: the creation has failed.
        if (error != kErrorUnknownPort || attempt >= kUnknownPortTries) return false;
        m_platform.kernel.Sleep(kUnknownPortPauseMs);
    }
}

bool CInstallerCore::CreatePrinter() {
    const catalogue::ModelRow model = catalogue::Target();
    m_strPrinterName = model.DisplayName;
    PrinterRecord record;
    record.pServerName = nullptr;
    record.pPrinterName = m_strPrinterName.c_str();
    record.pShareName = model.ShareName;
    record.pPortName = m_strPort.c_str();
    record.pDriverName = model.DisplayName;
    record.pPrintProcessor = "winprint";
    record.pDatatype = nullptr;
    record.Attributes = kPrinterAttributes;
    record.Priority = 1;

    std::uint32_t error = 0;
    if (AddPrinterWaitingForPort(record, error)) {
        m_platform.spooler.SetDefaultPrinterA(model.DisplayName);
        return true;
    }
    if (error == kErrorPrinterAlreadyExists) {
        for (unsigned n = 1; error == kErrorPrinterAlreadyExists; ++n) {
            char suffix[32];
            std::snprintf(suffix, sizeof(suffix), " (Copy %u)", n);
            m_strPrinterName = std::string(model.DisplayName) + suffix;
            record.pPrinterName = m_strPrinterName.c_str();
            if (m_platform.spooler.AddPrinterA(record)) {
                m_platform.spooler.SetDefaultPrinterA(m_strPrinterName.c_str());
                return true;
            }
            error = m_platform.kernel.GetLastError();
        }
    }
    if (error == kErrorUnknownPrinterDriver)
        m_platform.desktop.ShowMessage("Printer driver unknown.", kSetupCaption, kMbOk | kMbIconError);
    return false;
}

bool CInstallerCore::PreinstallInf() {
    if (!QueryDriverDirectory()) return false;
    const int length = std::snprintf(m_szInfPath, sizeof(m_szInfPath), "%s\\%s", DriverDirectory().c_str(),
                                     catalogue::Target().InfName);
    // A path cut short would name another file.
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof(m_szInfPath)) return false;
    if (m_platform.setupApi.CopyOEMInf(m_szInfPath, nullptr, kSpostPath, kSpCopyNoOverwrite,
                                       m_szOemInfName, sizeof(m_szOemInfName)))
        return true;
    return m_platform.kernel.GetLastError() == kErrorFileExists;
}

void CInstallerCore::LogStep(const std::string& step, bool ok) {
    const std::uint32_t error = ok ? 0 : (m_dwStepError ? m_dwStepError : m_platform.kernel.GetLastError());
    m_dwStepError = 0;
    m_pLog->Outcome(step, ok, error);
}

void CInstallerCore::Install() {
    const std::string model = catalogue::Target().DisplayName;
    m_platform.desktop.BeginWaitCursor();
    m_bDirectoryOk = QueryDriverDirectory();
    if (m_bDirectoryOk)
        m_pLog->Note("driver directory", DriverDirectory());
    else
        LogStep("driver directory", false);
    if (m_bDirectoryOk) {
        m_bDriverOk = AddDriver();
        LogStep("printer driver \"" + model + "\"", m_bDriverOk);
    }
    if (m_bDirectoryOk && m_bDriverOk) {
        m_bPrinterOk = CreatePrinter();
        LogStep("printer \"" + m_strPrinterName + "\" on " + m_strPort + " as the default printer", m_bPrinterOk);
    }
    if (m_bDirectoryOk && m_bDriverOk && m_bPrinterOk) {
        // Whatever the port: the queue may move to a parallel port later,
        // when the monitor runs with the user's rights.
        if (m_platform.portDriver) {
            switch (SetUpPortDriver()) {
            case PortDriverSetup::Created: m_pLog->Note("port driver service", "created"); break;
            case PortDriverSetup::Updated: m_pLog->Note("port driver service", "ready"); break;
            case PortDriverSetup::Foreign: m_pLog->Note("port driver service", "another product's, left as it is"); break;
            case PortDriverSetup::Failed: LogStep("port driver service", false); break;
            }
        }
        if (m_strPrinterName != model) {
            // A copy: no status monitor of its own.
            m_pLog->Note("status monitor", "not installed for a copy of the printer");
            m_strResult = m_strPrinterName + " Printer Driver installed successfully.";
        } else if (CopyStatusMonitor()) {
            LogStep("status monitor " + MonitorPath(), true);
            LogStep("start at log-on (Run value " + AutoStartValueName(catalogue::Target().ModelCode) + ")",
                    RegisterAutoStart());
            LogStep("event source \"" + common::EventSourceName(model) + "\"", RegisterEventSource());
            LogStep("Start-menu shortcut", CreateMonitorShortcut());
            if (m_bStartMonitor) {
                LaunchStatusMonitor();
                m_pLog->Note("status monitor start", "started");
            } else {
                m_pLog->Note("status monitor start", "left to the next log-on");
            }
            m_strResult = m_strPrinterName + " Printer Driver & Status Monitor installed successfully.";
        } else {
            LogStep("status monitor " + MonitorPath(), false);
            m_strResult = m_strPrinterName + " Printer Driver installed successfully.";
        }
        LogStep("INF pre-installation", PreinstallInf());
        LogStep("uninstall entry", RegisterUninstall());
    }
    m_platform.desktop.EndWaitCursor();
}

void CInstallerCore::ReportResult() {
    if (!m_bDirectoryOk)
        m_platform.desktop.ShowMessage(kErrorText1C, kSetupCaption, kMbOk | kMbIconError);
    else if (!m_bDriverOk)
        m_platform.desktop.ShowMessage(kErrorText2C, kSetupCaption, kMbOk | kMbIconError);
    else if (!m_bPrinterOk)
        m_platform.desktop.ShowMessage(kErrorText3C, kSetupCaption, kMbOk | kMbIconError);
    else
        m_platform.desktop.ShowMessage(m_strResult.c_str(), kSetupCaption, kMbOk | kMbIconInformation);
}

bool CInstallerCore::CopyStatusMonitor() {
    // The destination as a one-entry list: the text, its NUL and an empty name.
    std::string destination = DriverDirectory() + "\\STM\\";
    destination.push_back('\0');
    destination.push_back('\0');
    const int created = m_platform.shell.CreateDirectoryTree(destination.c_str());
    if (created != static_cast<int>(kErrorSuccess) && created != static_cast<int>(kErrorAlreadyExists)) {
        m_dwStepError = static_cast<std::uint32_t>(created);
        return false;
    }

    char source[150] = {};  // the zero fill ends the list
    std::snprintf(source, sizeof(source) - 1, "STM\\%s.exe", catalogue::Target().ModelCode);

    m_platform.desktop.BeginWaitCursor();
    const int copied = m_platform.shell.FileOperation(kFoCopy, source, destination.c_str(),
                                                      kFofNoConfirmation | kFofNoConfirmMkdir | kFofNoErrorUi);
    m_platform.desktop.EndWaitCursor();
    if (copied != 0) {
        m_dwStepError = static_cast<std::uint32_t>(copied);
        return false;
    }
    RemoveDownloadMark(m_platform.kernel, MonitorPath());
    return true;
}

bool CInstallerCore::RegisterAutoStart() {
    const char* code = catalogue::Target().ModelCode;
    const std::string data = MonitorCommand(DriverDirectory(), code);  // the system adds ".exe"
    const std::string name = AutoStartValueName(code);
    common::RegKey key = 0;
    long result = m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeySetValue, &key);
    if (result == 0) {
        result = SetText(m_platform.registry, key, name.c_str(), data);
        m_platform.registry.CloseKey(key);
    }
    m_dwStepError = static_cast<std::uint32_t>(result);
    return result == 0;
}

bool CInstallerCore::RegisterEventSource() {
    // The monitor reports to the Application log under its own source, with
    // its own message table.
    common::RegKey key = 0;
    long result = m_platform.registry.CreateKeyEx(common::RegRoot::LocalMachine,
                                                  common::EventSourceKey(catalogue::Target().DisplayName),
                                                  common::kRegOptionNonVolatile, common::kKeySetValue, &key);
    if (result == 0) {
        result = SetText(m_platform.registry, key, "EventMessageFile", MonitorPath());
        const std::uint32_t types = common::kEventTypesSupported;
        const long typed = m_platform.registry.SetValueEx(key, "TypesSupported", common::kRegDword,
                                                          reinterpret_cast<const std::uint8_t*>(&types), sizeof(types));
        if (result == 0) result = typed;
        m_platform.registry.CloseKey(key);
    }
    m_dwStepError = static_cast<std::uint32_t>(result);
    return result == 0;
}

char CInstallerCore::ProgramsDrive() {
    return setup::ProgramsDrive(m_platform.registry, m_platform.kernel, common::kKeyAllAccess);
}

bool CInstallerCore::CreateMonitorShortcut() {
    m_platform.shell.CoInitialize();
    const std::string description =
        std::string("Shortcut to Status Monitor - ") + catalogue::Target().DisplayName;
    const char drive = ProgramsDrive();
    const std::string folder = ShortcutFolder(drive);
    m_platform.shell.CreateFolder(folder.c_str());
    const std::string linkFile = ShortcutFile(drive, catalogue::Target().ModelCode);

    std::unique_ptr<IShellLinkObject> link = m_platform.shell.CreateShellLink();
    if (!link) return false;
    if (!link->QueryPersistFile()) return false;
    const std::string target = MonitorPath();
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());
    return link->Save(linkFile.c_str(), true);
}

void CInstallerCore::LaunchStatusMonitor() {
    // Started elevated: in its own folder, never in Setup's (the medium).
    const std::string target = MonitorPath();
    const std::string folder = MonitorFolder(DriverDirectory());
    m_platform.shell.Execute("open", target.c_str(), nullptr, folder.c_str(), kSwMinimize);
}

PortDriverSetup CInstallerCore::SetUpPortDriver() {
    if (!m_platform.portDriver) return PortDriverSetup::Failed;
    return EnsurePortDriverService(*m_platform.portDriver);
}

bool CInstallerCore::RegisterUninstall() {
    // Without the driver directory the entry would name a bare "\Uninstall.exe".
    if (DriverDirectory().empty()) return false;
    const std::string uninstaller = UninstallerPath(DriverDirectory());
    common::RegKey key = 0;
    long result = m_platform.registry.CreateKeyEx(common::RegRoot::LocalMachine, kUninstallKey,
                                                  common::kRegOptionNonVolatile, common::kKeyAllAccess, &key);
    m_dwStepError = static_cast<std::uint32_t>(result);
    if (result != 0) return false;
    result = SetText(m_platform.registry, key, "DisplayName", kUninstallDisplayName);
    if (result == 0) result = SetText(m_platform.registry, key, "UninstallString", uninstaller);
    // What a deployment tool runs to take the software away unattended.
    if (result == 0)
        result = SetText(m_platform.registry, key, "QuietUninstallString", QuietUninstallCommand(uninstaller));
    const bool written = result == 0;
    m_dwStepError = static_cast<std::uint32_t>(result);
    SetText(m_platform.registry, key, "DisplayIcon", uninstaller);
    m_platform.registry.CloseKey(key);
    return written;
}

}  // namespace setup

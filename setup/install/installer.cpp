#include "setup/install/installer.h"

#include <cstdio>

#include "catalogue/model_catalogue.h"
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

void CInstallerCore::Install() {
    m_platform.desktop.BeginWaitCursor();
    m_bDirectoryOk = QueryDriverDirectory();
    if (m_bDirectoryOk) m_bDriverOk = AddDriver();
    if (m_bDirectoryOk && m_bDriverOk) m_bPrinterOk = CreatePrinter();
    if (m_bDirectoryOk && m_bDriverOk && m_bPrinterOk) {
        // Whatever the port: the queue may move to a parallel port later,
        // when the monitor runs with the user's rights.
        SetUpPortDriver();
        if (m_strPrinterName != catalogue::Target().DisplayName) {
            // A copy: no status monitor of its own.
            m_strResult = m_strPrinterName + " Printer Driver installed successfully.";
        } else if (CopyStatusMonitor()) {
            RegisterAutoStart();
            CreateMonitorShortcut();
            LaunchStatusMonitor();
            m_strResult = m_strPrinterName + " Printer Driver & Status Monitor installed successfully.";
        } else {
            m_strResult = m_strPrinterName + " Printer Driver installed successfully.";
        }
        PreinstallInf();
        RegisterUninstall();
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
    if (created != static_cast<int>(kErrorSuccess) && created != static_cast<int>(kErrorAlreadyExists))
        return false;

    char source[150] = {};  // the zero fill ends the list
    std::snprintf(source, sizeof(source) - 1, "STM\\%s.exe", catalogue::Target().ModelCode);

    m_platform.desktop.BeginWaitCursor();
    const int copied = m_platform.shell.FileOperation(kFoCopy, source, destination.c_str(),
                                                      kFofNoConfirmation | kFofNoConfirmMkdir | kFofNoErrorUi);
    m_platform.desktop.EndWaitCursor();
    if (copied != 0) return false;
    RemoveDownloadMark(m_platform.kernel, MonitorPath());
    return true;
}

void CInstallerCore::RegisterAutoStart() {
    const char* code = catalogue::Target().ModelCode;
    const std::string data = MonitorCommand(DriverDirectory(), code);  // the system adds ".exe"
    const std::string name = AutoStartValueName(code);
    common::RegKey key = 0;
    if (m_platform.registry.OpenKeyEx(common::RegRoot::LocalMachine, kRunKey, common::kKeySetValue, &key) != 0) return;
    SetText(m_platform.registry, key, name.c_str(), data);
    m_platform.registry.CloseKey(key);
}

char CInstallerCore::ProgramsDrive() {
    return setup::ProgramsDrive(m_platform.registry, m_platform.kernel, common::kKeyAllAccess);
}

void CInstallerCore::CreateMonitorShortcut() {
    m_platform.shell.CoInitialize();
    const std::string description =
        std::string("Shortcut to Status Monitor - ") + catalogue::Target().DisplayName;
    const char drive = ProgramsDrive();
    const std::string folder = ShortcutFolder(drive);
    m_platform.shell.CreateFolder(folder.c_str());
    const std::string linkFile = ShortcutFile(drive, catalogue::Target().ModelCode);

    std::unique_ptr<IShellLinkObject> link = m_platform.shell.CreateShellLink();
    if (!link) return;
    if (!link->QueryPersistFile()) return;
    const std::string target = MonitorPath();
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());
    link->Save(linkFile.c_str(), true);
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
    if (m_platform.registry.CreateKeyEx(common::RegRoot::LocalMachine, kUninstallKey, common::kRegOptionNonVolatile,
                                        common::kKeyAllAccess, &key) != 0)
        return false;
    bool written = SetText(m_platform.registry, key, "DisplayName", kUninstallDisplayName) == 0;
    if (written) written = SetText(m_platform.registry, key, "UninstallString", uninstaller) == 0;
    SetText(m_platform.registry, key, "DisplayIcon", uninstaller);
    m_platform.registry.CloseKey(key);
    return written;
}

}  // namespace setup

#include "setup/app/unattended_setup.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <vector>

#include "catalogue/model_catalogue.h"
#include "installation/maker.h"
#include "setup/install/installer.h"
#include "setup/ui/connection_wait.h"
#include "setup/ui/file_copy.h"
#include "setup/ui/port_choice.h"

namespace setup {

using namespace installation;
namespace {

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::string SetupLogName() { return std::string("KLRN Setup ") + catalogue::Target().ModelCode + ".log"; }

std::string SetupUsageText() {
    return std::string("Installs the ") + catalogue::Target().DisplayName +
           " printer driver, its printer and the Status Monitor.\n\n"
           "Setup [/quiet] [/port=NAME | /port=usb] [/log=PATH]\n\n"
           "/quiet or /q\tno windows; the exit code and the log tell the outcome (needs /port)\n"
           "/port=NAME\tthe printer's port as Windows lists it: LPT1:, COM1:, USB001 ...\n"
           "/port=usb\tthe USB port of the printer connected now\n"
           "/log=PATH\tadds a line for each step to the file (with /quiet, by default\n"
           "\t\t" "the file \"" + SetupLogName() + "\" in the Windows Temp folder)\n"
           "/? or /help\tthis text\n\n"
           "Exit codes: 0 installed, 87 bad command line, 740 not an administrator,\n"
           "1168 no printer on USB, 1603 a step failed, 1618 Setup or Uninstall runs,\n"
           "1633 not 32-bit Windows 8, 1796 unknown port.";
}

std::uint32_t UnattendedSetup::Refuse(const std::string& step, const std::string& text, std::uint32_t exitCode) {
    m_log.Note(step, "refused: " + text);
    if (!m_bQuiet) m_platform.desktop.ShowMessage(text.c_str(), kSetupCaption, kMbOk | kMbIconError);
    return exitCode;
}

std::string UnattendedSetup::ResolvePort(const std::string& port, std::uint32_t* exitCode) {
    if (SameText(port, kUsbPortSwitchValue)) {
        const std::optional<std::string> usb = ConnectedUsbPort(m_platform.registry);
        if (usb) return *usb;
        *exitCode = Refuse("USB printer", std::string("No ") + catalogue::Target().DisplayName +
                                              " is connected on USB. Connect it, switch it on and run Setup again.",
                           kExitNotFound);
        return std::string();
    }
    const std::optional<std::vector<PortEntry>> ports = EnumeratePorts(m_platform);
    if (!ports) {
        *exitCode = Refuse("port list", kPortEnumerationErrorText, kExitInstallFailure);
        return std::string();
    }
    for (const PortEntry& entry : *ports)
        if (SameText(entry.name, port)) return entry.name;
    *exitCode = Refuse("port " + port, "The port " + port + " is not a port of this computer.", kExitUnknownPort);
    return std::string();
}

std::uint32_t UnattendedSetup::Run(const std::string& port, const common::SingleInstanceGuard& guard,
                                   IStartupSystem& system) {
    const Refusal refusal = CheckStartup(guard, system);
    if (refusal != Refusal::None) return Refuse("start-up checks", RefusalText(refusal), RefusalExitCode(refusal));
    m_log.Done("start-up checks");

    std::uint32_t exitCode = kExitSuccess;
    const std::string resolved = ResolvePort(port, &exitCode);
    if (resolved.empty()) return exitCode;
    m_log.Note("port", resolved);

    // Nothing was changed up to here.
    CFileCopyCore files(m_platform);
    if (!files.QueryDriverDirectory()) {
        m_log.Failed("driver directory", m_platform.kernel.GetLastError());
        m_platform.desktop.ShowMessage(kErrorText1C, kSetupCaption, kMbOk | kMbIconError);
        return kExitInstallFailure;
    }
    // Failures of the copy are the shell's to tell (quiet, it tells none).
    const int copied = files.CopyFiles();
    m_log.Outcome("driver files copied from the medium", copied == 0, static_cast<std::uint32_t>(copied));
    if (copied != 0) return kExitInstallFailure;

    CInstallerCore installer(m_platform);
    installer.m_pLog = &m_log;
    // A deployment tool runs Setup as the system account, often in no
    // user's session: a monitor started there would hold the model's
    // single-instance mutex, and the user's own could not start.
    installer.m_bStartMonitor = !m_bQuiet;
    installer.m_strPort = resolved;
    // As on the connection wait's USB path: the INF first, so that Windows
    // finds the driver for the device.
    const bool ready = !SameText(port, kUsbPortSwitchValue) || installer.PreinstallInf();
    if (!ready) m_log.Failed("INF pre-installation", m_platform.kernel.GetLastError());
    if (ready) installer.Install();
    installer.ReportResult();
    return m_log.Failures() ? kExitInstallFailure : kExitSuccess;
}

}  // namespace setup

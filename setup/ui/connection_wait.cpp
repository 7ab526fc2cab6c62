#include "setup/ui/connection_wait.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include "catalogue/model_catalogue.h"

namespace setup {

using namespace installation;

std::string UsbPrintInterfaceKey(const char* usbSerial) {
    return std::string("##?#USB#Vid_ffa7&Pid_8246#") + usbSerial + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

std::string ProgramName(const std::string& modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

ConnectionWait::ConnectionWait(IConnectionWindow& window, const InstallerPlatform& platform,
                               std::string programName)
    : m_window(window),
      m_platform(platform),
      m_strProgramName(std::move(programName)),
      m_strDeviceName(common::UsbDeviceName(catalogue::Target().UsbSerial)) {}

void ConnectionWait::OnDeviceChange(const common::DeviceNotice& notice) {
    // The installation below shows message boxes whose loops deliver
    // further notices: the printer is installed once.
    if (m_bRecognised) return;
    if (common::ClassifyUsbNotice(notice, m_strDeviceName) != common::UsbNotice::ModelArrived) return;
    m_bRecognised = true;
    m_window.StopDeviceNotices();
    m_window.End(kIdOk);  // hidden at once; the modal run returns when this is done

    m_platform.desktop.BeginWaitCursor();
    m_window.ShowPleaseWait();
    m_platform.kernel.Sleep(kArrivalPauseMs);
    std::unique_ptr<CInstallerCore> installer = m_window.CreateInstaller();
    if (installer->PreinstallInf()) {
        installer->m_strPort = LookupUsbPort();
        installer->Install();
    }
    m_window.HidePleaseWait();
    m_platform.desktop.EndWaitCursor();
    installer->ReportResult();
    m_window.DiscardPleaseWait();
}

void ConnectionWait::OnManual() {
    m_window.StopDeviceNotices();
    m_window.Hide();
    m_window.RunPortSelection();
    m_window.End(kIdOk);
}

namespace {

// A number below the model's USB printing interface key: `below` names the
// keys under the interface key, each opened relative to the one before.
std::optional<std::uint32_t> InterfaceNumber(common::IRegistryReader& registry, const char* below1,
                                             const char* below2, const char* value) {
    const std::string interfaceKey = UsbPrintInterfaceKey(catalogue::Target().UsbSerial);
    const std::string below[] = {interfaceKey, below1, below2};

    common::RegKey keys[4] = {};
    bool opened = registry.OpenKeyEx(common::RegRoot::LocalMachine, kUsbPrintClassKey, common::kKeyRead, &keys[0]) == 0;
    for (int i = 1; opened && i < 4; ++i)
        opened = registry.OpenSubKey(keys[i - 1], below[i - 1], common::kKeyRead, &keys[i]) == 0;
    // A value that is missing or not a 4-byte number says nothing either.
    std::optional<std::uint32_t> number;
    if (opened) number = common::ReadDwordValue(registry, keys[3], value);
    for (int i = 3; i >= 0; --i)
        if (keys[i]) registry.CloseKey(keys[i]);
    return number;
}

std::string UsbPortName(std::uint32_t number) {
    char port[32];
    std::snprintf(port, sizeof(port), "USB%03u", static_cast<unsigned>(number));
    return port;
}

}  // namespace

std::string ConnectionWait::LookupUsbPort() {
    const std::optional<std::uint32_t> number =
        InterfaceNumber(m_platform.registry, "#", "Device Parameters", "Port Number");
    if (!number) {
        m_platform.desktop.ShowMessage(kConnectPrinterText, m_strProgramName.c_str(), kMbOk | kMbIconExclamation);
        return kNoUsbPort;
    }
    return UsbPortName(*number);
}

std::optional<std::string> ConnectedUsbPort(common::IRegistryReader& registry) {
    const std::optional<std::uint32_t> linked = InterfaceNumber(registry, "#", "Control", "Linked");
    if (!linked || *linked == 0) return std::nullopt;
    const std::optional<std::uint32_t> number = InterfaceNumber(registry, "#", "Device Parameters", "Port Number");
    if (!number) return std::nullopt;
    return UsbPortName(*number);
}

}  // namespace setup

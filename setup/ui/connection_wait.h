// The logic of the USB connection wait (CPrinterConnection,
// printer_connection_win.h): the arrival of the model's USB printer ends
// the wait and installs the printer on the USB port the system gave it;
// "Manual" hands over to the port selection.
#pragma once

#include <optional>
#include <string>

#include "common/device_notice.h"
#include "installation/platform.h"
#include "setup/ui/setup_dialogs.h"

namespace setup {

constexpr const char* kUsbPrintClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr const char* kConnectPrinterText = "Please connect printer properly";
constexpr const char* kNoUsbPort = "FALSE";
constexpr std::uint32_t kArrivalPauseMs = 2000;

// The key of the model's USB printing interface below kUsbPrintClassKey.
std::string UsbPrintInterfaceKey(const char* usbSerial);

// The USB port of the model's printer while it is connected, found where
// the connection wait finds it: the port number the system's USB printing
// support keeps for the printer, provided the printer's interface is linked
// now (its "#\Control" key, which the system keeps only while the device is
// there, with "Linked" 1). Nothing when no printer of the model is connected.
std::optional<std::string> ConnectedUsbPort(common::IRegistryReader& registry);

// The program's own name: the executable's file name without extension.
std::string ProgramName(const std::string& modulePath);

class IConnectionWindow : public IInstallingWindow {
public:
    // Releases the registration for device notices (a second call does nothing).
    virtual void StopDeviceNotices() = 0;
    // The manual port selection (CPortSelection, dialog 109) run modally.
    virtual void RunPortSelection() = 0;
};

class ConnectionWait {
public:
    // `programName` captions the message of a failed port lookup.
    ConnectionWait(IConnectionWindow& window, const installation::InstallerPlatform& platform, std::string programName);

    // WM_DEVICECHANGE. Only the arrival of the model's device acts: the
    // wait ends, and after a pause under the please-wait window the INF is
    // pre-installed and the printer installed on the USB port; one message
    // reports the outcome. Every later notice is ignored.
    void OnDeviceChange(const common::DeviceNotice& notice);
    // "Manual": stop listening, hide, run the port selection, end with IDOK.
    void OnManual();
    void OnCancel() { ConfirmExit(m_window); }

    // The USB port the system's USB printing support gave the printer
    // ("USB" and at least three digits), or "FALSE" after telling the user
    // to connect the printer properly.
    std::string LookupUsbPort();

private:
    IConnectionWindow& m_window;
    const installation::InstallerPlatform& m_platform;
    std::string m_strProgramName;
    std::string m_strDeviceName;
    bool m_bRecognised = false;
};

}  // namespace setup

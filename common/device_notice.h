// The model's USB identity, and what the system's device notices say about
// it. Both programs follow the printer's USB device: the monitor to know
// whether it is plugged in, Setup to install it when it arrives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace common {

// WM_DEVICECHANGE events and the broadcast record type the programs read.
constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;

// Notice names longer than this are not a USB device's and are not read on.
constexpr std::size_t kMaxNoticeNameLength = 1024;

// "USB#VID_FFA7&PID_8246#" + serial: the name that arrival and removal
// notices of the model's device carry (once reduced).
std::string UsbDeviceName(const char* usbSerial);

// "\\?\usb#vid_ffa7&pid_8246#" + serial + "#{28d78fad-...}": the device
// path of the model's USB printing interface.
std::string UsbInterfacePath(const char* usbSerial);

// What one WM_DEVICECHANGE message carries, copied out of the system's record.
struct DeviceNotice {
    std::uint32_t event = 0;       // wParam
    bool hasRecord = false;        // lParam pointed at a broadcast header
    std::uint32_t deviceType = 0;  // dbch_devicetype
    std::string name;              // dbcc_name of a device-interface record
};

// A notice's device path without its first four characters ("\\?\") and
// cut before its last "#" (the interface class part):
// \\?\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dc...} gives USB#VID_FFA7&PID_8246#VX7EMBER.
// Nothing when the path is shorter than the prefix or has no "#" after it.
std::optional<std::string> ReduceDeviceInterfaceName(const std::string& path);

enum class UsbNotice { Other, ModelArrived, ModelRemoved };

// An arrival or removal-complete of a device interface whose reduced name
// equals `deviceName`, ignoring case; everything else is Other.
UsbNotice ClassifyUsbNotice(const DeviceNotice& notice, const std::string& deviceName);

}  // namespace common

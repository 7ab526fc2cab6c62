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

// Where dbcc_name starts in a device-interface record (after the 12-byte
// header and the 16-byte class GUID), for 32- and 64-bit programs alike.
constexpr std::size_t kInterfaceNameOffset = 28;

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

// The two events whose lParam points at a broadcast record: arrival and
// removal-complete. Any other event's lParam is not a record (most carry
// none, and any program of the desktop may post one with any value), so it
// is never read.
bool NoticeHasRecord(std::uint32_t event);

// The memory behind a WM_DEVICECHANGE message's lParam, read field by field
// as DEV_BROADCAST_HDR and DEV_BROADCAST_DEVICEINTERFACE_A lay it out.
class INoticeRecord {
public:
    virtual ~INoticeRecord() = default;
    virtual bool IsNull() const = 0;               // lParam is 0 (reads nothing)
    virtual std::uint32_t Size() const = 0;        // dbch_size
    virtual std::uint32_t DeviceType() const = 0;  // dbch_devicetype
    // The length of dbcc_name, looking at no more than `room` characters
    // (`room` when no terminator is among them).
    virtual std::size_t NameLength(std::size_t room) const = 0;
    virtual std::string Name(std::size_t length) const = 0;  // its first `length` characters
};

// Copies what a WM_DEVICECHANGE message carries. The event is looked at
// first: the record is read only for an arrival or a removal-complete, and
// then only as far as it goes: the header of any record, the name of a
// device interface's alone, and of that no more than the record's own size
// (and kMaxNoticeNameLength; a longer name is no device path and stays empty).
DeviceNotice DecodeDeviceNotice(std::uint32_t event, const INoticeRecord& record);

// A notice's device path without its first four characters ("\\?\") and
// cut before its last "#" (the interface class part):
// \\?\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dc...} gives USB#VID_FFA7&PID_8246#VX7EMBER.
// Nothing when the path is shorter than the prefix or has no "#" after it.
std::optional<std::string> ReduceDeviceInterfaceName(const std::string& path);

// Two texts equal letter for letter, ignoring the case of ASCII letters.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

enum class UsbNotice { Other, ModelArrived, ModelRemoved };

// An arrival or removal-complete of a device interface whose reduced name
// equals `deviceName`, ignoring case; everything else is Other.
UsbNotice ClassifyUsbNotice(const DeviceNotice& notice, const std::string& deviceName);

}  // namespace common

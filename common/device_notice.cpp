#include "common/device_notice.h"

#include <algorithm>
#include <cctype>

namespace common {
namespace {

constexpr const char* kUsbPrintClass = "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr std::size_t kDevicePathPrefixLength = 4;  // "\\?\"


}  // namespace

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string UsbDeviceName(const char* usbSerial) {
    return std::string("USB#VID_FFA7&PID_8246#") + usbSerial;
}

std::string UsbInterfacePath(const char* usbSerial) {
    return std::string("\\\\?\\usb#vid_ffa7&pid_8246#") + usbSerial + "#" + kUsbPrintClass;
}

std::optional<std::string> ReduceDeviceInterfaceName(const std::string& path) {
    if (path.size() < kDevicePathPrefixLength) return std::nullopt;
    std::string rest = path.substr(kDevicePathPrefixLength);
    std::size_t lastHash = rest.rfind('#');
    if (lastHash == std::string::npos) return std::nullopt;
    rest.resize(lastHash);
    return rest;
}

bool NoticeHasRecord(std::uint32_t event) {
    return event == kDbtDeviceArrival || event == kDbtDeviceRemoveComplete;
}

DeviceNotice DecodeDeviceNotice(std::uint32_t event, const INoticeRecord& record) {
    DeviceNotice notice;
    notice.event = event;
    if (!NoticeHasRecord(event) || record.IsNull()) return notice;
    notice.hasRecord = true;
    notice.deviceType = record.DeviceType();
    if (notice.deviceType != kDbtDevtypDeviceInterface) return notice;

    const std::uint32_t size = record.Size();
    if (size <= kInterfaceNameOffset) return notice;
    const std::size_t room = std::min<std::size_t>(size - kInterfaceNameOffset, kMaxNoticeNameLength + 1);
    const std::size_t length = record.NameLength(room);
    if (length > kMaxNoticeNameLength) return notice;
    notice.name = record.Name(length);
    return notice;
}

UsbNotice ClassifyUsbNotice(const DeviceNotice& notice, const std::string& deviceName) {
    if (!NoticeHasRecord(notice.event)) return UsbNotice::Other;
    if (!notice.hasRecord || notice.deviceType != kDbtDevtypDeviceInterface) return UsbNotice::Other;
    std::optional<std::string> reduced = ReduceDeviceInterfaceName(notice.name);
    if (!reduced || !EqualIgnoringCase(*reduced, deviceName)) return UsbNotice::Other;
    return notice.event == kDbtDeviceArrival ? UsbNotice::ModelArrived : UsbNotice::ModelRemoved;
}

}  // namespace common

#include "statmon/printer/usb_presence.h"

#include "common/device_notice.h"

namespace statmon {

bool ScanForUsbPrinter(IDeviceInterfaces& devices, const std::string& interfacePath) {
    DeviceInfoSet set =
        devices.GetClassDevs(kUsbPrintInterfaceClass, kDigcfPresent | kDigcfDeviceInterface);
    if (!set) return false;

    bool found = false;
    std::uint32_t failedInARow = 0;
    for (std::uint32_t index = 0; !found; ++index) {
        DeviceInterfaceData data;
        if (!devices.EnumDeviceInterfaces(set, kUsbPrintInterfaceClass, index, &data)) {
            if (devices.LastError() == kErrorNoMoreItems) break;
            if (++failedInARow >= kMaxFailedEnumerations) break;  // the set is not readable
            continue;
        }
        failedInARow = 0;

        std::uint32_t needed = 0;
        devices.GetDeviceInterfaceDetail(set, data, 0, nullptr, &needed);
        if (needed == 0) continue;
        std::string path;
        std::uint32_t again = 0;
        if (!devices.GetDeviceInterfaceDetail(set, data, needed, &path, &again)) continue;
        // Windows lists interface paths in lower case while the composed
        // path (and the notices) carry upper-case parts: case does not count.
        found = common::EqualIgnoringCase(path, interfacePath);
    }
    devices.DestroyDeviceInfoList(set);
    return found;
}

}  // namespace statmon

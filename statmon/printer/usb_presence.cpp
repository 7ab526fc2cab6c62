#include "statmon/printer/usb_presence.h"

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
        found = path == interfacePath;
    }
    devices.DestroyDeviceInfoList(set);
    return found;
}

}  // namespace statmon

// The Win32 side of device notices: the registration for USB device
// arrivals and removals, and the reading of a WM_DEVICECHANGE message.
#pragma once

#include <windows.h>

#include "common/device_notice.h"

namespace common {

// RegisterDeviceNotificationA for the window, with a device-interface
// filter of the class GUID_DEVINTERFACE_USB_DEVICE; null when refused.
HDEVNOTIFY RegisterUsbDeviceNotices(HWND window);

// Copies what the message carries (the shared DecodeDeviceNotice over the
// record in place): lParam is read only for an arrival or a
// removal-complete, and then only as far as its record goes.
DeviceNotice DecodeDeviceNotice(WPARAM wParam, LPARAM lParam);

}  // namespace common

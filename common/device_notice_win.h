// The Win32 side of device notices: the registration for USB device
// arrivals and removals, and the reading of a WM_DEVICECHANGE message.
#pragma once

#include <windows.h>

#include "common/device_notice.h"

namespace common {

// RegisterDeviceNotificationA for the window, with a device-interface
// filter of the class GUID_DEVINTERFACE_USB_DEVICE; null when refused.
HDEVNOTIFY RegisterUsbDeviceNotices(HWND window);

// Copies what the message carries, touching only the record it has: no
// record for a null lParam, no name unless the record is a device
// interface's, and at most the record's own size (and kMaxNoticeNameLength)
// of the name.
DeviceNotice DecodeDeviceNotice(WPARAM wParam, LPARAM lParam);

}  // namespace common

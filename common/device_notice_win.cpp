#include "common/device_notice_win.h"

#include <dbt.h>

#include <cstddef>
#include <cstring>

namespace common {
namespace {

// GUID_DEVINTERFACE_USB_DEVICE
constexpr GUID kUsbDeviceClass = {0xA5DCBF10, 0x6530, 0x11D2,
                                  {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

#if !defined(_WIN64)
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32, "notification filter as 32-bit Windows reads it");
#endif

}  // namespace

HDEVNOTIFY RegisterUsbDeviceNotices(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    std::memset(&filter, 0, sizeof(filter));
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = kUsbDeviceClass;
    return ::RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

DeviceNotice DecodeDeviceNotice(WPARAM wParam, LPARAM lParam) {
    DeviceNotice notice;
    notice.event = static_cast<std::uint32_t>(wParam);
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header) return notice;
    notice.hasRecord = true;
    notice.deviceType = header->dbch_devicetype;
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return notice;

    constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= nameOffset) return notice;
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    std::size_t room = header->dbch_size - nameOffset;
    if (room > kMaxNoticeNameLength + 1) room = kMaxNoticeNameLength + 1;
    std::size_t length = ::strnlen(record->dbcc_name, room);
    if (length > kMaxNoticeNameLength) return notice;  // not a device path; the name stays empty
    notice.name.assign(record->dbcc_name, length);
    return notice;
}

}  // namespace common

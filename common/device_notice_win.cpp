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
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) == kInterfaceNameOffset,
              "the name where the system's record has it");

// The record behind a WM_DEVICECHANGE lParam, read in place.
class MessageRecord : public INoticeRecord {
public:
    explicit MessageRecord(LPARAM lParam) : m_lParam(lParam) {}
    bool IsNull() const override { return m_lParam == 0; }
    std::uint32_t Size() const override { return Header()->dbch_size; }
    std::uint32_t DeviceType() const override { return Header()->dbch_devicetype; }
    std::size_t NameLength(std::size_t room) const override { return ::strnlen(Interface()->dbcc_name, room); }
    std::string Name(std::size_t length) const override { return std::string(Interface()->dbcc_name, length); }

private:
    const DEV_BROADCAST_HDR* Header() const { return reinterpret_cast<const DEV_BROADCAST_HDR*>(m_lParam); }
    const DEV_BROADCAST_DEVICEINTERFACE_A* Interface() const {
        return reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(m_lParam);
    }
    LPARAM m_lParam;
};

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
    return DecodeDeviceNotice(static_cast<std::uint32_t>(wParam), MessageRecord(lParam));
}

}  // namespace common

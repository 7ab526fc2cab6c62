// The SetupDi calls of the running system for the USB presence scan.
#include <windows.h>
#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "statmon/printer/usb_presence.h"

namespace statmon {
namespace {

static_assert(sizeof(DeviceInfoSet) >= sizeof(HDEVINFO), "a device set fits the opaque set");
static_assert(sizeof(InterfaceClass) == sizeof(GUID), "an interface class is a GUID");
static_assert(kDigcfPresent == DIGCF_PRESENT && kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE,
              "DIGCF_PRESENT, DIGCF_DEVICEINTERFACE");
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS");
// The size fields as 32-bit Windows checks them.
#if !defined(_WIN64)
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28, "SP_DEVICE_INTERFACE_DATA is 28 bytes");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5,
              "the detail record's size field is 5");
#endif

GUID ToGuid(const InterfaceClass& c) {
    GUID guid;
    std::memcpy(&guid, &c, sizeof(guid));
    return guid;
}

SP_DEVICE_INTERFACE_DATA ToRecord(const DeviceInterfaceData& data) {
    SP_DEVICE_INTERFACE_DATA record;
    std::memset(&record, 0, sizeof(record));
    record.cbSize = sizeof(record);
    record.InterfaceClassGuid = ToGuid(data.interfaceClass);
    record.Flags = data.flags;
    record.Reserved = data.reserved;
    return record;
}

class Win32DeviceInterfaces final : public IDeviceInterfaces {
public:
    DeviceInfoSet GetClassDevs(const InterfaceClass& interfaceClass, std::uint32_t flags) override {
        GUID guid = ToGuid(interfaceClass);
        HDEVINFO set = ::SetupDiGetClassDevsA(&guid, nullptr, nullptr, flags);
        m_lastError = ::GetLastError();
        return set == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<DeviceInfoSet>(set);
    }

    bool EnumDeviceInterfaces(DeviceInfoSet set, const InterfaceClass& interfaceClass,
                              std::uint32_t index, DeviceInterfaceData* data) override {
        GUID guid = ToGuid(interfaceClass);
        SP_DEVICE_INTERFACE_DATA record;
        std::memset(&record, 0, sizeof(record));
        record.cbSize = sizeof(record);
        BOOL ok = ::SetupDiEnumDeviceInterfaces(reinterpret_cast<HDEVINFO>(set), nullptr, &guid,
                                                index, &record);
        m_lastError = ::GetLastError();
        if (ok && data) {
            std::memcpy(&data->interfaceClass, &record.InterfaceClassGuid, sizeof(GUID));
            data->flags = record.Flags;
            data->reserved = record.Reserved;
        }
        return ok != FALSE;
    }

    bool GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& data,
                                  std::uint32_t bufferSize, std::string* devicePath,
                                  std::uint32_t* requiredSize) override {
        SP_DEVICE_INTERFACE_DATA record = ToRecord(data);
        constexpr std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
        std::vector<DWORD> buffer;  // DWORD-aligned, as the record needs
        SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail = nullptr;
        if (bufferSize > 0) {
            if (bufferSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
                m_lastError = ERROR_INVALID_USER_BUFFER;
                return false;
            }
            buffer.assign((bufferSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
            detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        }
        DWORD needed = 0;
        BOOL ok = ::SetupDiGetDeviceInterfaceDetailA(reinterpret_cast<HDEVINFO>(set), &record,
                                                     detail, bufferSize, &needed, nullptr);
        m_lastError = ::GetLastError();
        if (requiredSize) *requiredSize = needed;
        if (ok && detail && devicePath)
            devicePath->assign(detail->DevicePath, ::strnlen(detail->DevicePath, bufferSize - pathOffset));
        return ok != FALSE;
    }

    bool DestroyDeviceInfoList(DeviceInfoSet set) override {
        BOOL ok = ::SetupDiDestroyDeviceInfoList(reinterpret_cast<HDEVINFO>(set));
        m_lastError = ::GetLastError();
        return ok != FALSE;
    }

    std::uint32_t LastError() const override { return m_lastError; }

private:
    std::uint32_t m_lastError = 0;
};

}  // namespace

std::unique_ptr<IDeviceInterfaces> CreateDeviceInterfaces() {
    return std::make_unique<Win32DeviceInterfaces>();
}

}  // namespace statmon

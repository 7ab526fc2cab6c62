// Whether the model's USB printer is plugged in: the start-up scan of the
// present USB printing interfaces, over operations shaped like
// SetupDiGetClassDevsA, SetupDiEnumDeviceInterfaces,
// SetupDiGetDeviceInterfaceDetailA and SetupDiDestroyDeviceInfoList.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace statmon {

// A device interface class GUID.
struct InterfaceClass {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// GUID_DEVINTERFACE_USBPRINT {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}
constexpr InterfaceClass kUsbPrintInterfaceClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

constexpr std::uint32_t kDigcfPresent = 0x02;
constexpr std::uint32_t kDigcfDeviceInterface = 0x10;
constexpr std::uint32_t kErrorNoMoreItems = 259;

// Enumerations in a row that fail with anything but "no more items" before
// the scan gives up.
constexpr std::uint32_t kMaxFailedEnumerations = 16;

using DeviceInfoSet = std::uintptr_t;  // 0 is no set

// SP_DEVICE_INTERFACE_DATA as SetupDiEnumDeviceInterfaces fills it.
struct DeviceInterfaceData {
    InterfaceClass interfaceClass{};
    std::uint32_t flags = 0;
    std::uintptr_t reserved = 0;
};

class IDeviceInterfaces {
public:
    virtual ~IDeviceInterfaces() = default;
    // SetupDiGetClassDevsA(class, no enumerator, no window, flags); 0 when
    // the set cannot be had.
    virtual DeviceInfoSet GetClassDevs(const InterfaceClass& interfaceClass,
                                       std::uint32_t flags) = 0;
    // SetupDiEnumDeviceInterfaces(set, no device, class, index, data).
    virtual bool EnumDeviceInterfaces(DeviceInfoSet set, const InterfaceClass& interfaceClass,
                                      std::uint32_t index, DeviceInterfaceData* data) = 0;
    // SetupDiGetDeviceInterfaceDetailA with a detail buffer of bufferSize
    // bytes (none when 0): *requiredSize gets the size needed and, on
    // success, *devicePath the record's DevicePath.
    virtual bool GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& data,
                                          std::uint32_t bufferSize, std::string* devicePath,
                                          std::uint32_t* requiredSize) = 0;
    virtual bool DestroyDeviceInfoList(DeviceInfoSet set) = 0;
    // GetLastError right after the last call.
    virtual std::uint32_t LastError() const = 0;
};

// The scan: true when a present USB printing interface has the device path
// `interfacePath`, ignoring case.
bool ScanForUsbPrinter(IDeviceInterfaces& devices, const std::string& interfacePath);

// The SetupDi calls of the running system (Win32, usb_presence_win.cpp).
std::unique_ptr<IDeviceInterfaces> CreateDeviceInterfaces();

}  // namespace statmon

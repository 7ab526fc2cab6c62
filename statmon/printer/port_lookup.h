// Port hardware lookup: the plug-and-play device id of the parallel port
// (through WMI) and its status register address (from the device's
// "AllocConfig" resource list).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/registry.h"

namespace statmon {

// One device object of the WMI result set; released when destroyed.
class IWmiObject {
public:
    virtual ~IWmiObject() = default;
    // IWbemClassObject::Get(property, 0) converted to 8-bit text; nothing
    // when the value is not a text (or the property is missing).
    virtual std::optional<std::string> GetText(const std::string& property) = 0;
};

// The management instrumentation as the lookup uses it. Results are
// HRESULTs (negative is failure).
using HResult = std::int32_t;
class IWmi {
public:
    virtual ~IWmi() = default;
    virtual HResult Initialize() = 0;          // CoInitializeEx(nullptr, COINIT_MULTITHREADED)
    virtual HResult InitializeSecurity() = 0;  // CoInitializeSecurity(default authn, impersonate)
    virtual HResult CreateLocator() = 0;       // CoCreateInstance(CLSID_WbemLocator, in-proc)
    virtual HResult ConnectServer(const std::string& nameSpace) = 0;
    virtual HResult SetProxyBlanket() = 0;     // WinNT authn, call level, impersonate
    virtual HResult ExecQuery(const std::string& language, const std::string& query,
                           std::int32_t flags) = 0;
    // IEnumWbemClassObject::Next(kWmiNextTimeoutMs, 1); null when no object
    // came, TimedOut() telling whether the wait ran out.
    virtual std::unique_ptr<IWmiObject> Next() = 0;
    virtual bool TimedOut() const = 0;
    virtual void ReleaseAll() = 0;          // services, locator, enumerator
    virtual void Uninitialize() = 0;        // CoUninitialize
};

// How long the lookup waits for the next device: a busy instrumentation
// service must not hold discovery for ever.
constexpr std::uint32_t kWmiNextTimeoutMs = 10000;

constexpr HResult kRpcETooLate = static_cast<HResult>(0x80010119);
constexpr std::int32_t kWbemFlagForwardOnly = 0x20;
constexpr std::int32_t kWbemFlagReturnImmediately = 0x10;
// RegOpenKeyA opens with the default access, that is MAXIMUM_ALLOWED.
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::size_t kAllocConfigBufferSize = 512;
constexpr std::uint8_t kCmResourceTypePort = 1;
constexpr std::uint8_t kCmResourceTypeDeviceSpecific = 5;

// 0 when the enumeration ran to its end (match or not), 1 when WMI was not
// usable or did not deliver the next device in time. Replaces g_strPortKey by the matching device's PNPDeviceID. An
// empty key matches no device (and WMI is not asked).
int FindPortDeviceId(IWmi& wmi);

// Sets g_wStatusPort from the first I/O port range of g_strPortKey's
// "AllocConfig"; false when the key, the value or a range is missing, or
// when g_strPortKey is empty.
bool LookupStatusPort(common::IRegistryReader& registry);

// The start of the first I/O port range in a CM_RESOURCE_LIST of `size`
// bytes; never reads outside them.
std::optional<std::uint64_t> FindFirstPortRange(const std::uint8_t* data, std::size_t size);

}  // namespace statmon

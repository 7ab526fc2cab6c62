// The monitor's side of the parallel port: platform test, port driver
// start and installation, byte read and write, status decoding. The Win32
// operations it needs come through the small interfaces below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "installation/port_driver_service.h"

namespace statmon {

constexpr int PLATFORM_WIN9X = 1;
constexpr int PLATFORM_NT = 2;

// GetVersionExA on a cleared OSVERSIONINFOEXA whose size field is
// `sizeField` (156 for the extended record, 148 for OSVERSIONINFOA).
class IVersionQuery {
public:
    virtual ~IVersionQuery() = default;
    virtual bool GetVersionEx(std::uint32_t sizeField, std::uint32_t* platformId) = 0;
};

// The device "\\.\hwinterface" held in g_hPortDriver, and the processor's
// port instructions (used on the Windows 9x family only).
class IPortDevice {
public:
    virtual ~IPortDevice() = default;
    // CreateFileA(GENERIC_READ | GENERIC_WRITE, no sharing, OPEN_EXISTING,
    // FILE_ATTRIBUTE_NORMAL) into g_hPortDriver; true when it opened.
    virtual bool Open() = 0;
    // Closes g_hPortDriver when it is open and makes it invalid.
    virtual void Close() = 0;
    // DeviceIoControl on g_hPortDriver; false when the call failed.
    virtual bool Control(std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                         std::uint32_t outSize, std::uint32_t* returned) = 0;
    virtual std::uint8_t InputByte(std::uint16_t port) = 0;
    virtual void OutputByte(std::uint16_t port, std::uint8_t value) = 0;
};

using ScHandle = std::uintptr_t;  // 0 is no handle

// The service manager's rights and values, as Setup uses them.
using installation::kScManagerConnect;
using installation::kScManagerCreateService;
using installation::kServiceDemandStart;
using installation::kServiceErrorNormal;
using installation::kServiceKernelDriver;
using installation::kServiceStart;
using installation::kWriteDac;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;

struct ServiceAttributes {
    std::string name;
    std::string displayName;
    std::uint32_t desiredAccess = 0;
    std::uint32_t serviceType = 0;
    std::uint32_t startType = 0;
    std::uint32_t errorControl = 0;
    std::string imagePath;  // no load order group, tag, dependencies, account
    std::string security;   // the DACL (SDDL) the new service is given
};

// The local service control manager.
class IServiceManager {
public:
    virtual ~IServiceManager() = default;
    // OpenSCManagerA(local, active database); on failure 0 and *error set.
    virtual ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) = 0;
    virtual ScHandle OpenService(ScHandle manager, const std::string& name,
                                 std::uint32_t access) = 0;
    // StartServiceA with no arguments; on failure false and *error set.
    virtual bool StartService(ScHandle service, std::uint32_t* error) = 0;
    // CreateServiceA, then SetServiceObjectSecurity of the attributes'
    // DACL; 0 when either fails (a service created without its security
    // is deleted again).
    virtual ScHandle CreateService(ScHandle manager, const ServiceAttributes& service) = 0;
    virtual void CloseServiceHandle(ScHandle handle) = 0;
};

// Where the driver image comes from and goes to.
class IDriverImageStore {
public:
    virtual ~IDriverImageStore() = default;
    // GetSystemDirectoryA; empty when it failed.
    virtual std::string SystemDirectory() = 0;
    // Resource 164 of type "bin" of the own executable; nothing when it
    // cannot be found, loaded or locked.
    virtual std::optional<std::vector<std::uint8_t>> DriverResource() = 0;
    // The whole file; nothing when it cannot be read, *absent telling
    // whether that is because it does not exist.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                              bool* absent) = 0;
    // CreateFileA(GENERIC_WRITE, no sharing, CREATE_NEW): never over an
    // existing file; one WriteFile of all bytes, CloseHandle; true when all
    // bytes were written.
    virtual bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
};

extern const char kPortDriverServiceName[];  // "hwinterface"
extern const char kPortDriverImagePath[];    // "System32\Drivers\hwinterface.sys"

// 1 Windows 9x family, 2 Windows NT family, 0 other.
int GetPlatform(IVersionQuery& version);

// 0 when the device opened at the first attempt, 1 otherwise. An earlier
// handle is closed first.
int OpenPortDriver(IPortDevice& device, IServiceManager& services, IDriverImageStore& store);
// Starts the service with exactly the start right, which Setup gives
// interactive users: 0 started (or already running); 1 service or manager
// not openable; 3 start refused.
int StartPortDriver(IServiceManager& services);
// For a monitor with administrator rights that finds no service: writes
// the driver file where none is and creates the service (loaded on
// demand, startable by interactive users), but only over our own file;
// another product's file or service is never touched. 5 when the service
// manager refused access, else 0.
int InstallPortDriver(IServiceManager& services, IDriverImageStore& store);

// The byte at `port` on `platform`; 0 on platform 0 and when the driver
// request fails.
std::uint8_t ReadPortByte(int platform, std::uint16_t port, IPortDevice& device);
// The same, with nothing when no byte came back: the driver request failed
// or the platform has no port access.
std::optional<std::uint8_t> TryReadPortByte(int platform, std::uint16_t port, IPortDevice& device);
void WritePortByte(int platform, std::uint16_t port, std::uint8_t value, IPortDevice& device);

// The port status code of a status register byte.
int DecodePortStatus(std::uint8_t status);

}  // namespace statmon

// The monitor's side of the parallel port: platform test, port driver
// start and installation, byte read and write, status decoding. The Win32
// operations it needs come through the small interfaces below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceKernelDriver = 1;
constexpr std::uint32_t kServiceSystemStart = 1;
constexpr std::uint32_t kServiceErrorNormal = 1;
constexpr std::uint32_t kErrorAccessDenied = 5;

struct ServiceAttributes {
    std::string name;
    std::string displayName;
    std::uint32_t desiredAccess = 0;
    std::uint32_t serviceType = 0;
    std::uint32_t startType = 0;
    std::uint32_t errorControl = 0;
    std::string imagePath;  // no load order group, tag, dependencies, account
};

// The local service control manager.
class IServiceManager {
public:
    virtual ~IServiceManager() = default;
    // OpenSCManagerA(local, active database); on failure 0 and *error set.
    virtual ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) = 0;
    virtual ScHandle OpenService(ScHandle manager, const std::string& name,
                                 std::uint32_t access) = 0;
    virtual bool StartService(ScHandle service) = 0;  // no arguments
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
    // CreateFileA(GENERIC_WRITE, no sharing, CREATE_ALWAYS), one WriteFile
    // of all bytes, CloseHandle; true when all bytes were written.
    virtual bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
};

extern const char kPortDriverServiceName[];  // "hwinterface"
extern const char kPortDriverImagePath[];    // "System32\Drivers\hwinterface.sys"

// 1 Windows 9x family, 2 Windows NT family, 0 other.
int GetPlatform(IVersionQuery& version);

// 0 when the device opened at the first attempt, 1 otherwise. An earlier
// handle is closed first.
int OpenPortDriver(IPortDevice& device, IServiceManager& services, IDriverImageStore& store);
// 0 started; 1 service or manager not openable (also after a start over
// the read-only connection); 3 start refused; 4 start refused over the
// read-only connection.
int StartPortDriver(IServiceManager& services);
// 5 when the service manager refused access, else 0.
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

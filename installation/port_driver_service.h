// The status monitor's port-I/O driver as the elevated programs look after
// it: Setup makes sure its kernel service "hwinterface" exists whatever
// port the printer is on, loaded on demand and startable by interactive
// users (and by nobody else but SYSTEM and administrators), so that a
// monitor running with the user's rights can start it the day the queue
// moves to a parallel port; Uninstall takes it away with the last model.
//
// The name "hwinterface" is also used by other products' port drivers:
// the file and the service count as ours only when the file in the
// system's drivers folder is, byte for byte, the image this program
// carries (the image the monitor carries, resource 164 "BIN") and the
// service's image path names that file. What is not ours is never
// written, changed, stopped or deleted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace installation {

constexpr const char* kPortDriverService = "hwinterface";
// The image path as the service records it (relative to the Windows folder).
constexpr const char* kPortDriverImagePath = "System32\\Drivers\\hwinterface.sys";
// The driver file's name in the system folder.
constexpr const char* kPortDriverFile = "\\Drivers\\hwinterface.sys";
// The service's security: SYSTEM and administrators as Windows gives them
// for a service, interactive users the start right alone (no stop, no
// configuration change, no deletion, not even a status query).
constexpr const char* kPortDriverServiceSecurity =
    "D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;RP;;;IU)";

// Service control manager rights and values.
constexpr std::uint32_t kScManagerConnect = 0x0001;
constexpr std::uint32_t kScManagerCreateService = 0x0002;
constexpr std::uint32_t kServiceQueryConfig = 0x0001;
constexpr std::uint32_t kServiceChangeConfig = 0x0002;
constexpr std::uint32_t kServiceQueryStatus = 0x0004;
constexpr std::uint32_t kServiceStart = 0x0010;
constexpr std::uint32_t kServiceStop = 0x0020;
constexpr std::uint32_t kDeleteRight = 0x00010000;
constexpr std::uint32_t kWriteDac = 0x00040000;
constexpr std::uint32_t kServiceKernelDriver = 1;
constexpr std::uint32_t kServiceDemandStart = 3;
constexpr std::uint32_t kServiceErrorNormal = 1;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;

// A service's configuration as QueryServiceConfigA answers it.
struct DriverServiceConfig {
    std::uint32_t serviceType = 0;
    std::uint32_t startType = 0;
    std::string imagePath;
};

// What looking after the driver needs of the system, shaped like the
// Win32 calls (port_driver_service_win.cpp).
class IPortDriverSystem {
public:
    using Handle = std::uintptr_t;  // 0 is no handle
    virtual ~IPortDriverSystem() = default;
    // GetSystemDirectoryA and GetWindowsDirectoryA; empty when they fail.
    virtual std::string SystemDirectory() = 0;
    virtual std::string WindowsDirectory() = 0;
    // Resource 164 of type "bin" of the running program; nothing when it
    // cannot be found, loaded or locked.
    virtual std::optional<std::vector<std::uint8_t>> CarriedImage() = 0;
    // The whole file; nothing when it cannot be read, *absent telling
    // whether that is because it does not exist.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, bool* absent) = 0;
    // CreateFileA(CREATE_NEW) and one write: never over an existing file.
    virtual bool WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // DeleteFileA; MoveFileExA(MOVEFILE_DELAY_UNTIL_REBOOT).
    virtual bool DeleteFile(const std::string& path) = 0;
    virtual bool DeleteFileAtRestart(const std::string& path) = 0;

    // OpenSCManagerA(local, active database), OpenServiceA: 0 on failure,
    // LastError tells why.
    virtual Handle OpenManager(std::uint32_t access) = 0;
    virtual Handle OpenService(Handle manager, const char* name, std::uint32_t access) = 0;
    // CreateServiceA of a kernel driver with no group, tag, dependencies
    // or account; the display name is the service name.
    virtual Handle CreateService(Handle manager, const char* name, std::uint32_t access,
                                 std::uint32_t startType, const char* imagePath) = 0;
    virtual bool QueryConfig(Handle service, DriverServiceConfig* config) = 0;
    // ChangeServiceConfigA of the type, start type, error control and
    // image path, nothing else.
    virtual bool ChangeConfig(Handle service, std::uint32_t startType, const char* imagePath) = 0;
    // SetServiceObjectSecurity of the DACL of the SDDL text.
    virtual bool SetSecurity(Handle service, const char* sddl) = 0;
    // ControlService(SERVICE_CONTROL_STOP), then a bounded wait until it
    // has stopped; true when it is stopped.
    virtual bool Stop(Handle service) = 0;
    virtual bool DeleteService(Handle service) = 0;
    virtual void CloseHandle(Handle handle) = 0;
    virtual std::uint32_t LastError() = 0;
};

// Whose the driver file is: not there, ours (the carried image byte for
// byte) or another product's (anything else, unreadable included).
// (Inline: the monitor, which installs the driver on a first run as an
// administrator, judges its file by the same rule.)
enum class DriverFileOwner { Absent, Ours, Foreign };
inline DriverFileOwner JudgeDriverFile(const std::optional<std::vector<std::uint8_t>>& file, bool absent,
                                       const std::vector<std::uint8_t>& image) {
    if (!file) return absent ? DriverFileOwner::Absent : DriverFileOwner::Foreign;
    return *file == image ? DriverFileOwner::Ours : DriverFileOwner::Foreign;
}

// Whether a service's image path names `driverFile` (the full path of our
// file): relative to the Windows folder, under \SystemRoot or absolute,
// in any case.
bool ImagePathNames(const std::string& imagePath, const std::string& driverFile,
                    const std::string& windowsDirectory);

enum class PortDriverSetup {
    Created,   // our file (written when missing) and a new service
    Updated,   // our existing service set to load on demand with its security
    Foreign,   // another product's file or service: left as it is
    Failed     // something needed could not be had or done
};
// Setup's part: the driver service exists, loads on demand, and
// interactive users may start it.
PortDriverSetup EnsurePortDriverService(IPortDriverSystem& system);

enum class PortDriverRemoval {
    Removed,    // our service and file are gone
    AtRestart,  // our service is gone, the file goes when Windows next starts
    Foreign,    // another product's: left as it is
    Absent,     // neither was there
    Failed
};
// Uninstall's part, once no model is left.
PortDriverRemoval RemovePortDriverService(IPortDriverSystem& system);

}  // namespace installation

#include "statmon/printer/port_access.h"

#include "installation/port_driver_service.h"
#include "statmon/portdriver/port_request.h"
#include "statmon/printer/parallel_port.h"

namespace statmon {

const char kPortDriverServiceName[] = "hwinterface";
const char kPortDriverImagePath[] = "System32\\Drivers\\hwinterface.sys";

namespace {

constexpr std::uint32_t kOsVersionInfoExSize = 156;
constexpr std::uint32_t kOsVersionInfoSize = 148;

// Closes a service manager handle at the end of a scope.
class ScopedSc {
public:
    ScopedSc(IServiceManager& services, ScHandle handle) : services_(services), handle_(handle) {}
    ~ScopedSc() {
        if (handle_) services_.CloseServiceHandle(handle_);
    }
    ScopedSc(const ScopedSc&) = delete;
    ScopedSc& operator=(const ScopedSc&) = delete;
    ScHandle get() const { return handle_; }

private:
    IServiceManager& services_;
    ScHandle handle_;
};

}  // namespace

int GetPlatform(IVersionQuery& version) {
    std::uint32_t platformId = 0;
    if (!version.GetVersionEx(kOsVersionInfoExSize, &platformId) &&
        !version.GetVersionEx(kOsVersionInfoSize, &platformId))
        return 0;
    if (platformId == 1) return PLATFORM_WIN9X;
    if (platformId == 2) return PLATFORM_NT;
    return 0;
}

int OpenPortDriver(IPortDevice& device, IServiceManager& services, IDriverImageStore& store) {
    device.Close();
    if (device.Open()) return 0;
    if (StartPortDriver(services) != 0) {
        InstallPortDriver(services, store);
        StartPortDriver(services);
    }
    device.Open();
    return 1;
}

int StartPortDriver(IServiceManager& services) {
    // Exactly what a start needs: a monitor with the user's rights has no
    // more (Setup gives interactive users the start right alone).
    std::uint32_t error = 0;
    ScopedSc manager(services, services.OpenManager(kScManagerConnect, &error));
    if (!manager.get()) return 1;
    ScopedSc service(services, services.OpenService(manager.get(), kPortDriverServiceName, kServiceStart));
    if (!service.get()) return 1;
    if (services.StartService(service.get(), &error)) return 0;
    return error == kErrorServiceAlreadyRunning ? 0 : 3;
}

int InstallPortDriver(IServiceManager& services, IDriverImageStore& store) {
    // Without the system folder or the image nothing can be told ours:
    // nothing is written or created then.
    const std::string systemDir = store.SystemDirectory();
    const std::optional<std::vector<std::uint8_t>> image = store.DriverResource();
    if (systemDir.empty() || !image || image->empty()) return 0;
    const std::string path = systemDir + installation::kPortDriverFile;
    bool absent = false;
    const auto file = store.ReadFile(path, &absent);
    const installation::DriverFileOwner owner = installation::JudgeDriverFile(file, absent, *image);
    // Another product's driver file: neither it nor a service for it.
    if (owner == installation::DriverFileOwner::Foreign) return 0;

    std::uint32_t error = 0;
    ScopedSc manager(services, services.OpenManager(kScManagerConnect | kScManagerCreateService, &error));
    if (!manager.get()) return error == kErrorAccessDenied ? 5 : 0;
    if (owner == installation::DriverFileOwner::Absent && !store.WriteFile(path, *image)) return 0;

    ServiceAttributes attributes;
    attributes.name = kPortDriverServiceName;
    attributes.displayName = kPortDriverServiceName;
    attributes.desiredAccess = kWriteDac;
    attributes.serviceType = kServiceKernelDriver;
    attributes.startType = kServiceDemandStart;
    attributes.errorControl = kServiceErrorNormal;
    attributes.imagePath = kPortDriverImagePath;
    attributes.security = installation::kPortDriverServiceSecurity;
    // An existing service makes the creation fail: it is left as it is.
    ScopedSc service(services, services.CreateService(manager.get(), attributes));
    return 0;
}

std::uint8_t ReadPortByte(int platform, std::uint16_t port, IPortDevice& device) {
    // No byte came back: report no status rather than the address.
    return TryReadPortByte(platform, port, device).value_or(0);
}

std::optional<std::uint8_t> TryReadPortByte(int platform, std::uint16_t port, IPortDevice& device) {
    if (platform == PLATFORM_WIN9X) return device.InputByte(port);
    if (platform != PLATFORM_NT) return std::nullopt;

    std::uint8_t record[sizeof(HwiPortRequest)] = {static_cast<std::uint8_t>(port & 0xFF),
                                                   static_cast<std::uint8_t>(port >> 8), 0};
    std::uint32_t returned = 0;
    if (!device.Control(HWI_IOCTL_READ_PORT_UCHAR, record, HWI_READ_INPUT_SIZE, record,
                        HWI_READ_OUTPUT_SIZE, &returned) ||
        returned < HWI_READ_OUTPUT_SIZE)
        return std::nullopt;
    return record[0];
}

void WritePortByte(int platform, std::uint16_t port, std::uint8_t value, IPortDevice& device) {
    if (platform == PLATFORM_WIN9X) {
        device.OutputByte(port, value);
    } else if (platform == PLATFORM_NT) {
        std::uint8_t record[sizeof(HwiPortRequest)] = {static_cast<std::uint8_t>(port & 0xFF),
                                                       static_cast<std::uint8_t>(port >> 8), value};
        std::uint32_t returned = 0;
        device.Control(HWI_IOCTL_WRITE_PORT_UCHAR, record, HWI_WRITE_INPUT_SIZE, nullptr, 0,
                       &returned);
    }
}

int DecodePortStatus(std::uint8_t status) {
    const std::uint8_t lines = status & 0xF8;
    const bool busyLine = lines & 0x80;   // 1: not busy
    const bool paperEnd = lines & 0x20;
    const bool select = lines & 0x10;
    const bool noError = lines & 0x08;    // 0: error
    struct Row {
        bool busyLine, paperEnd, select, noError;
        int code;
    };
    static const Row rows[] = {
        {false, true, true, true, PORT_STATUS_NO_RESPONSE},
        {true, false, false, false, PORT_STATUS_NO_RESPONSE},
        {true, false, true, true, PORT_STATUS_READY},
        {false, true, false, false, PORT_STATUS_PAPER_OUT},
        {false, false, false, true, PORT_STATUS_OFFLINE},
    };
    for (const Row& row : rows) {
        if (row.busyLine == busyLine && row.paperEnd == paperEnd && row.select == select &&
            row.noError == noError)
            return row.code;
    }
    return PORT_STATUS_UNKNOWN;
}

}  // namespace statmon

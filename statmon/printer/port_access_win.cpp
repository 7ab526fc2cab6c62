// Win32 adapters of the port access: version query, port driver device,
// service control manager, driver image resource and file.
#include <windows.h>

#include "installation/port_driver_service_win.h"
#include "statmon/portdriver/port_request.h"
#include "statmon/printer/parallel_port_win.h"

namespace statmon {

HANDLE g_hPortDriver = INVALID_HANDLE_VALUE;

namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "OSVERSIONINFOEXA");
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
static_assert(sizeof(ScHandle) >= sizeof(SC_HANDLE), "a service handle fits");
static_assert(kScManagerCreateService == SC_MANAGER_CREATE_SERVICE && kScManagerConnect == SC_MANAGER_CONNECT,
              "service manager rights");
static_assert(kServiceStart == SERVICE_START && kWriteDac == WRITE_DAC, "service rights");
static_assert(kServiceKernelDriver == SERVICE_KERNEL_DRIVER, "SERVICE_KERNEL_DRIVER");
static_assert(kServiceDemandStart == SERVICE_DEMAND_START, "SERVICE_DEMAND_START");
static_assert(kErrorServiceAlreadyRunning == ERROR_SERVICE_ALREADY_RUNNING, "ERROR_SERVICE_ALREADY_RUNNING");
static_assert(kServiceErrorNormal == SERVICE_ERROR_NORMAL, "SERVICE_ERROR_NORMAL");
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED");
#if !defined(_WIN64)
static_assert(sizeof(HwiPortRequest) == 3, "the 32-bit request record is 3 bytes");
#endif

class Win32VersionQuery final : public IVersionQuery {
public:
    bool GetVersionEx(std::uint32_t sizeField, std::uint32_t* platformId) override {
        OSVERSIONINFOEXA info;
        ZeroMemory(&info, sizeof(info));
        info.dwOSVersionInfoSize = sizeField;
        if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
        *platformId = info.dwPlatformId;
        return true;
    }
};

class Win32PortDevice final : public IPortDevice {
public:
    bool Open() override {
        g_hPortDriver = ::CreateFileA("\\\\.\\hwinterface", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return g_hPortDriver != INVALID_HANDLE_VALUE;
    }
    void Close() override {
        if (g_hPortDriver != INVALID_HANDLE_VALUE && g_hPortDriver != nullptr)
            ::CloseHandle(g_hPortDriver);
        g_hPortDriver = INVALID_HANDLE_VALUE;
    }
    bool Control(std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t* returned) override {
        DWORD bytes = 0;
        const BOOL ok =
            ::DeviceIoControl(g_hPortDriver, code, in, inSize, out, outSize, &bytes, nullptr);
        if (returned) *returned = bytes;
        return ok != FALSE;
    }
    // Direct port instructions: only on the Windows 9x family, where user
    // mode may execute them.
    std::uint8_t InputByte(std::uint16_t port) override {
        std::uint8_t value;
        __asm__ __volatile__("inb %w1, %0" : "=a"(value) : "Nd"(port));
        return value;
    }
    void OutputByte(std::uint16_t port, std::uint8_t value) override {
        __asm__ __volatile__("outb %0, %w1" : : "a"(value), "Nd"(port));
    }
};

SC_HANDLE Sc(ScHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ScHandle Sc(SC_HANDLE handle) { return reinterpret_cast<ScHandle>(handle); }

class Win32ServiceManager final : public IServiceManager {
public:
    ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) override {
        SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, access);
        if (!manager && error) *error = ::GetLastError();
        return Sc(manager);
    }
    ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) override {
        return Sc(::OpenServiceA(Sc(manager), name.c_str(), access));
    }
    bool StartService(ScHandle service, std::uint32_t* error) override {
        if (::StartServiceA(Sc(service), 0, nullptr)) return true;
        if (error) *error = ::GetLastError();
        return false;
    }
    ScHandle CreateService(ScHandle manager, const ServiceAttributes& s) override {
        const DWORD access = s.security.empty() ? s.desiredAccess : s.desiredAccess | WRITE_DAC | DELETE;
        SC_HANDLE service = ::CreateServiceA(Sc(manager), s.name.c_str(), s.displayName.c_str(), access,
                                             s.serviceType, s.startType, s.errorControl,
                                             s.imagePath.c_str(), nullptr, nullptr, nullptr, nullptr,
                                             nullptr);
        if (!service || s.security.empty()) return Sc(service);
        if (installation::Win32PortDriverSystem().SetSecurity(Sc(service), s.security.c_str()))
            return Sc(service);
        // Without its security no standard user could ever start it.
        ::DeleteService(service);
        ::CloseServiceHandle(service);
        return 0;
    }
    void CloseServiceHandle(ScHandle handle) override { ::CloseServiceHandle(Sc(handle)); }
};

class Win32DriverImageStore final : public IDriverImageStore {
public:
    std::string SystemDirectory() override {
        char path[MAX_PATH];
        const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return std::string();
        return std::string(path, length);
    }
    // The driver file's image, reading and writing it: as Setup does.
    std::optional<std::vector<std::uint8_t>> DriverResource() override {
        return installation::Win32PortDriverSystem().CarriedImage();
    }
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                      bool* absent) override {
        return installation::Win32PortDriverSystem().ReadFile(path, absent);
    }
    bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
        return installation::Win32PortDriverSystem().WriteNewFile(path, bytes);
    }
};

}  // namespace

std::unique_ptr<IVersionQuery> CreateVersionQuery() { return std::make_unique<Win32VersionQuery>(); }
std::unique_ptr<IPortDevice> CreatePortDevice() { return std::make_unique<Win32PortDevice>(); }
std::unique_ptr<IServiceManager> CreateServiceManager() {
    return std::make_unique<Win32ServiceManager>();
}
std::unique_ptr<IDriverImageStore> CreateDriverImageStore() {
    return std::make_unique<Win32DriverImageStore>();
}

}  // namespace statmon

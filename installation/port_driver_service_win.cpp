// The port driver service's system operations on Win32.
#include <windows.h>

#include <sddl.h>

#include "installation/port_driver_service.h"
#include "installation/port_driver_service_win.h"

namespace installation {
namespace {

static_assert(kScManagerConnect == SC_MANAGER_CONNECT && kScManagerCreateService == SC_MANAGER_CREATE_SERVICE,
              "service manager rights");
static_assert(kServiceQueryConfig == SERVICE_QUERY_CONFIG && kServiceChangeConfig == SERVICE_CHANGE_CONFIG &&
                  kServiceQueryStatus == SERVICE_QUERY_STATUS && kServiceStart == SERVICE_START &&
                  kServiceStop == SERVICE_STOP && kDeleteRight == DELETE && kWriteDac == WRITE_DAC,
              "service rights");
static_assert(kServiceKernelDriver == SERVICE_KERNEL_DRIVER && kServiceDemandStart == SERVICE_DEMAND_START &&
                  kServiceErrorNormal == SERVICE_ERROR_NORMAL,
              "service values");
static_assert(kErrorServiceDoesNotExist == ERROR_SERVICE_DOES_NOT_EXIST, "ERROR_SERVICE_DOES_NOT_EXIST");
static_assert(sizeof(IPortDriverSystem::Handle) >= sizeof(SC_HANDLE), "a service handle fits");

constexpr WORD kDriverResourceId = 164;
// How long a stopping driver is waited for.
constexpr int kStopPolls = 50;
constexpr DWORD kStopPollMs = 100;

SC_HANDLE Sc(IPortDriverSystem::Handle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
IPortDriverSystem::Handle Sc(SC_HANDLE handle) { return reinterpret_cast<IPortDriverSystem::Handle>(handle); }

class Win32DriverSystem final : public IPortDriverSystem {
public:
    std::string SystemDirectory() override {
        char path[MAX_PATH];
        const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
        return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
    }
    std::string WindowsDirectory() override {
        char path[MAX_PATH];
        const UINT length = ::GetSystemWindowsDirectoryA(path, MAX_PATH);
        return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
    }
    std::optional<std::vector<std::uint8_t>> CarriedImage() override {
        HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(kDriverResourceId), "bin");
        HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
        const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
        if (!bytes) return std::nullopt;
        const auto* begin = static_cast<const std::uint8_t*>(bytes);
        return std::vector<std::uint8_t>(begin, begin + ::SizeofResource(nullptr, found));
    }
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, bool* absent) override {
        *absent = false;
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            *absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
        std::optional<std::vector<std::uint8_t>> bytes;
        LARGE_INTEGER size;
        if (::GetFileSizeEx(file, &size)) {
            if (size.QuadPart >= (1 << 20)) {
                bytes = std::vector<std::uint8_t>(1, 0);  // a megabyte or more is no image of ours
            } else {
                std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
                DWORD read = 0;
                if (data.empty() || (::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read,
                                                nullptr) &&
                                     read == data.size()))
                    bytes = std::move(data);
            }
        }
        ::CloseHandle(file);
        return bytes;
    }
    bool WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        if (ok && written == bytes.size()) return true;
        ::DeleteFileA(path.c_str());  // a part of our image is nobody's driver
        return false;
    }
    bool DeleteFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != FALSE; }
    bool DeleteFileAtRestart(const std::string& path) override {
        return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    }

    Handle OpenManager(std::uint32_t access) override { return Sc(::OpenSCManagerA(nullptr, nullptr, access)); }
    Handle OpenService(Handle manager, const char* name, std::uint32_t access) override {
        return Sc(::OpenServiceA(Sc(manager), name, access));
    }
    Handle CreateService(Handle manager, const char* name, std::uint32_t access, std::uint32_t startType,
                         const char* imagePath) override {
        return Sc(::CreateServiceA(Sc(manager), name, name, access, SERVICE_KERNEL_DRIVER, startType,
                                   SERVICE_ERROR_NORMAL, imagePath, nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    bool QueryConfig(Handle service, DriverServiceConfig* config) override {
        DWORD needed = 0;
        ::QueryServiceConfigA(Sc(service), nullptr, 0, &needed);
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return false;
        std::vector<std::uint8_t> buffer(needed);
        auto* info = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (!::QueryServiceConfigA(Sc(service), info, needed, &needed)) return false;
        config->serviceType = info->dwServiceType;
        config->startType = info->dwStartType;
        config->imagePath = info->lpBinaryPathName ? info->lpBinaryPathName : "";
        return true;
    }
    bool ChangeConfig(Handle service, std::uint32_t startType, const char* imagePath) override {
        return ::ChangeServiceConfigA(Sc(service), SERVICE_KERNEL_DRIVER, startType, SERVICE_ERROR_NORMAL,
                                      imagePath, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
    }
    bool SetSecurity(Handle service, const char* sddl) override {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return false;
        const BOOL ok = ::SetServiceObjectSecurity(Sc(service), DACL_SECURITY_INFORMATION, descriptor);
        const DWORD error = ::GetLastError();
        ::LocalFree(descriptor);
        ::SetLastError(error);
        return ok != FALSE;
    }
    bool Stop(Handle service) override {
        SERVICE_STATUS status = {};
        if (!::ControlService(Sc(service), SERVICE_CONTROL_STOP, &status) &&
            ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
            return false;
        for (int i = 0; i < kStopPolls; ++i) {
            if (!::QueryServiceStatus(Sc(service), &status)) return false;
            if (status.dwCurrentState == SERVICE_STOPPED) return true;
            ::Sleep(kStopPollMs);
        }
        return false;
    }
    bool DeleteService(Handle service) override {
        // Already marked for deletion counts as deleted.
        return ::DeleteService(Sc(service)) != FALSE || ::GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
    }
    void CloseHandle(Handle handle) override { ::CloseServiceHandle(Sc(handle)); }
    std::uint32_t LastError() override { return ::GetLastError(); }
};

}  // namespace

IPortDriverSystem& Win32PortDriverSystem() {
    static Win32DriverSystem system;
    return system;
}

}  // namespace installation

#include "statmon/printer/port_lookup.h"

#include "statmon/printer/parallel_port.h"

namespace statmon {

namespace {

constexpr std::size_t kFullDescriptorHeaderSize = 16;
constexpr std::size_t kPartialDescriptorSize = 16;

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Read64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(Read32(p)) | static_cast<std::uint64_t>(Read32(p + 4)) << 32;
}

bool Failed(HResult hr) { return hr < 0; }

}  // namespace

std::optional<std::uint64_t> FindFirstPortRange(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 4) return std::nullopt;
    const std::uint32_t fullCount = Read32(data);
    std::size_t pos = 4;
    for (std::uint32_t full = 0; full < fullCount; ++full) {
        if (size - pos < kFullDescriptorHeaderSize) return std::nullopt;
        const std::uint32_t partialCount = Read32(data + pos + 12);
        pos += kFullDescriptorHeaderSize;
        for (std::uint32_t partial = 0; partial < partialCount; ++partial) {
            if (size - pos < kPartialDescriptorSize) return std::nullopt;
            const std::uint8_t* descriptor = data + pos;
            if (descriptor[0] == kCmResourceTypePort) return Read64(descriptor + 4);
            pos += kPartialDescriptorSize;
            // Device-specific data follows its descriptor (DataSize at offset 4).
            if (descriptor[0] == kCmResourceTypeDeviceSpecific) {
                const std::uint32_t dataSize = Read32(descriptor + 4);
                if (size - pos < dataSize) return std::nullopt;
                pos += dataSize;
            }
        }
    }
    return std::nullopt;
}

int FindPortDeviceId(IWmi& wmi) {
    // An empty key would be contained in every device name.
    if (g_strPortKey.empty()) return 0;

    if (Failed(wmi.Initialize())) return 1;
    // Once the process has set its security, later calls answer
    // RPC_E_TOO_LATE: the security is in place, so go on.
    const HResult security = wmi.InitializeSecurity();
    if (Failed(security) && security != kRpcETooLate) {
        wmi.Uninitialize();
        return 1;
    }
    if (Failed(wmi.CreateLocator()) || Failed(wmi.ConnectServer("ROOT\\CIMV2")) ||
        Failed(wmi.SetProxyBlanket()) ||
        Failed(wmi.ExecQuery("WQL", "SELECT * FROM Win32_PnPEntity",
                             kWbemFlagForwardOnly | kWbemFlagReturnImmediately))) {
        wmi.ReleaseAll();
        wmi.Uninitialize();
        return 1;
    }

    while (std::unique_ptr<IWmiObject> device = wmi.Next()) {
        const std::optional<std::string> name = device->GetText("Name");
        if (!name) continue;
        if (name->find(g_strPortKey) == std::string::npos) continue;
        if (std::optional<std::string> id = device->GetText("PNPDeviceID")) {
            if (!id->empty()) g_strPortKey = *id;
        }
    }

    const bool timedOut = wmi.TimedOut();
    wmi.ReleaseAll();
    wmi.Uninitialize();
    return timedOut ? 1 : 0;
}

bool LookupStatusPort(common::IRegistryReader& registry) {
    if (g_strPortKey.empty()) return false;

    common::RegKey key = 0;
    if (registry.OpenKeyEx(common::RegRoot::LocalMachine,
                           "SYSTEM\\CurrentControlSet\\Enum\\" + g_strPortKey + "\\Control",
                           kMaximumAllowed, &key) != 0)
        return false;

    std::uint8_t buffer[kAllocConfigBufferSize] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof(buffer);
    if (registry.QueryValueEx(key, "AllocConfig", &type, buffer, &size) != 0) {
        registry.CloseKey(key);
        return false;
    }
    if (size > sizeof(buffer)) size = sizeof(buffer);

    const std::optional<std::uint64_t> start = FindFirstPortRange(buffer, size);
    registry.CloseKey(key);
    if (!start) return false;
    g_wStatusPort = static_cast<std::uint16_t>(*start + 1);
    return true;
}

}  // namespace statmon

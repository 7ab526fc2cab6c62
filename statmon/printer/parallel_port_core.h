// The port access of discovery composed from its platform operations.
#pragma once

#include <memory>

#include "statmon/printer/parallel_port.h"
#include "statmon/printer/port_access.h"
#include "statmon/printer/port_lookup.h"
#include "common/registry.h"

namespace statmon {

struct PortPlatform {
    std::unique_ptr<IVersionQuery> version;
    std::unique_ptr<IPortDevice> device;
    std::unique_ptr<IServiceManager> services;
    std::unique_ptr<IDriverImageStore> store;
    std::unique_ptr<IWmi> wmi;
    std::unique_ptr<common::IRegistryReader> registry;
};

// Failed status reads waited between two reopenings of the port driver at
// most (one a second: a minute).
constexpr int kMaxPortReopenBackoff = 60;

class ParallelPort final : public IParallelPort {
public:
    explicit ParallelPort(PortPlatform platform) : p_(std::move(platform)) {}

    int GetPlatform() override;
    int OpenPortDriver() override;
    int FindPortDeviceId() override;
    bool LookupStatusPort() override;
    // Reads g_wStatusPort on g_nPlatform and decodes it.
    int ReadPortStatus() override;
    void ClosePortDriver() override;
    void Reconnect() override { m_nReadsToReopen = 0; m_nBackoff = 0; m_bReopenDue = true; }

    void WritePortByte(std::uint16_t port, std::uint8_t value);

private:
    PortPlatform p_;
    bool m_bReopenDue = false;  // reopen the driver before the next read
    int m_nReadsToReopen = 0;   // failed reads still to wait before reopening
    int m_nBackoff = 0;         // failed reads waited before the last reopen
};

}  // namespace statmon

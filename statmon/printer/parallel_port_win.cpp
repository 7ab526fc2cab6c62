// The port access of the running program.
#include "statmon/printer/parallel_port_win.h"

#include "common/registry.h"

namespace statmon {

PortPlatform CreatePortPlatform() {
    PortPlatform platform;
    platform.version = CreateVersionQuery();
    platform.device = CreatePortDevice();
    platform.services = CreateServiceManager();
    platform.store = CreateDriverImageStore();
    platform.wmi = CreateWmi();
    platform.registry = common::CreateRegistry();
    return platform;
}

std::unique_ptr<IParallelPort> CreateParallelPort() {
    return std::make_unique<ParallelPort>(CreatePortPlatform());
}

}  // namespace statmon

// Stand-in until the port driver and the hardware lookup exist: every hook
// reports failure, so discovery of a parallel port stops timer 1.
#include "statmon/printer/parallel_port.h"

namespace statmon {
namespace {

class UnavailableParallelPort final : public IParallelPort {
public:
    int GetPlatform() override { return 0; }
    int OpenPortDriver() override { return 1; }
    int FindPortDeviceId() override { return 0; }
    bool LookupStatusPort() override { return false; }
    int ReadPortStatus() override { return PORT_STATUS_UNKNOWN; }
    void ClosePortDriver() override {}
};

}  // namespace

std::unique_ptr<IParallelPort> CreateParallelPort() {
    return std::make_unique<UnavailableParallelPort>();
}

}  // namespace statmon

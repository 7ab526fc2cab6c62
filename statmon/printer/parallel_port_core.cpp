#include "statmon/printer/parallel_port_core.h"

namespace statmon {

int ParallelPort::GetPlatform() { return statmon::GetPlatform(*p_.version); }

int ParallelPort::OpenPortDriver() {
    return statmon::OpenPortDriver(*p_.device, *p_.services, *p_.store);
}

int ParallelPort::FindPortDeviceId() { return statmon::FindPortDeviceId(*p_.wmi); }

bool ParallelPort::LookupStatusPort() { return statmon::LookupStatusPort(*p_.registry); }

int ParallelPort::ReadPortStatus() {
    return DecodePortStatus(ReadPortByte(g_nPlatform, g_wStatusPort, *p_.device));
}

void ParallelPort::ClosePortDriver() { p_.device->Close(); }

void ParallelPort::WritePortByte(std::uint16_t port, std::uint8_t value) {
    statmon::WritePortByte(g_nPlatform, port, value, *p_.device);
}

}  // namespace statmon

#include "statmon/printer/parallel_port_core.h"

#include <algorithm>

namespace statmon {

int ParallelPort::GetPlatform() { return statmon::GetPlatform(*p_.version); }

int ParallelPort::OpenPortDriver() {
    return statmon::OpenPortDriver(*p_.device, *p_.services, *p_.store);
}

int ParallelPort::FindPortDeviceId() { return statmon::FindPortDeviceId(*p_.wmi); }

bool ParallelPort::LookupStatusPort() { return statmon::LookupStatusPort(*p_.registry); }

int ParallelPort::ReadPortStatus() {
    if (m_bReopenDue) {
        m_bReopenDue = false;
        if (g_nPlatform == PLATFORM_NT) OpenPortDriver();
    }
    const std::optional<std::uint8_t> status = TryReadPortByte(g_nPlatform, g_wStatusPort, *p_.device);
    if (status) {
        m_nReadsToReopen = 0;
        m_nBackoff = 0;
        return DecodePortStatus(*status);
    }
    if (g_nPlatform != PLATFORM_NT) return PORT_STATUS_UNKNOWN;  // no driver to reopen
    // Reopen at once after the first failure, then after 2, 4, ... failed
    // reads, up to a minute apart.
    if (m_nReadsToReopen > 0) {
        --m_nReadsToReopen;
    } else {
        OpenPortDriver();
        m_nBackoff = m_nBackoff ? std::min(2 * m_nBackoff, kMaxPortReopenBackoff) : 1;
        m_nReadsToReopen = m_nBackoff;
    }
    return PORT_STATUS_UNKNOWN;
}

void ParallelPort::ClosePortDriver() { p_.device->Close(); }

void ParallelPort::WritePortByte(std::uint16_t port, std::uint8_t value) {
    statmon::WritePortByte(g_nPlatform, port, value, *p_.device);
}

}  // namespace statmon

#include "common/single_instance.h"

namespace common {

SingleInstanceGuard::SingleInstanceGuard(IMutexSystem& system, const char* name)
    : m_system(system), m_hMutex(system.CreateNamedMutex(name, &m_dwLastError)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (m_hMutex) m_system.CloseMutex(m_hMutex);
}

bool SingleInstanceGuard::AnotherInstanceRuns() const {
    return m_dwLastError == kErrorAlreadyExists ||
           (m_dwLastError == kErrorAccessDenied && m_hMutex == 0);
}

}  // namespace common

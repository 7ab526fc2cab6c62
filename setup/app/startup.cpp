#include "setup/app/startup.h"

#include "setup/install/maker.h"

namespace setup {

SetupMutexGuard::SetupMutexGuard(IStartupSystem& system)
    : m_system(system), m_hMutex(system.CreateMutex(kSetupMutexName, &m_dwLastError)) {}

SetupMutexGuard::~SetupMutexGuard() {
    if (m_hMutex) m_system.CloseHandle(m_hMutex);
}

bool SetupMutexGuard::AnotherSetupRuns() const { return m_dwLastError == kErrorAlreadyExists; }

bool CheckEnvironment(const SetupMutexGuard& guard, IStartupSystem& system, IDesktop& desktop) {
    const char* refusal = nullptr;
    std::uint32_t major = 0, minor = 0;
    bool wow64 = false;
    if (guard.AnotherSetupRuns()) {
        refusal = kAnotherSetupText;
    } else if (system.GetVersion(&major, &minor), major != 6 || minor != 2) {
        refusal = kWrongWindowsText;
    } else if (system.QueryWow64(&wow64) && wow64) {
        refusal = kEmulatedText;
    } else if (!system.IsUserAnAdmin()) {
        refusal = kNotAdministratorText;
    }
    if (!refusal) return true;
    desktop.ShowMessage(refusal, kSetupCaption, kMbOk | kMbIconError);
    return false;
}

}  // namespace setup

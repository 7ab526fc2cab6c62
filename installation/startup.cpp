#include "installation/startup.h"

#include "installation/maker.h"

namespace installation {

Refusal CheckStartup(const common::SingleInstanceGuard& guard, IStartupSystem& system) {
    std::uint32_t major = 0, minor = 0;
    bool wow64 = false;
    if (guard.AnotherInstanceRuns()) return Refusal::AnotherRuns;
    system.GetVersion(&major, &minor);
    if (major != 6 || minor != 2) return Refusal::WrongWindows;
    if (system.QueryWow64(&wow64) && wow64) return Refusal::Emulated;
    if (!system.IsUserAnAdmin()) return Refusal::NotAdministrator;
    return Refusal::None;
}

const char* RefusalText(Refusal refusal) {
    switch (refusal) {
    case Refusal::AnotherRuns: return kAnotherSetupText;
    case Refusal::WrongWindows: return kWrongWindowsText;
    case Refusal::Emulated: return kEmulatedText;
    case Refusal::NotAdministrator: return kNotAdministratorText;
    case Refusal::None: break;
    }
    return nullptr;
}

std::uint32_t RefusalExitCode(Refusal refusal) {
    switch (refusal) {
    case Refusal::AnotherRuns: return kExitInstallAlreadyRunning;
    case Refusal::WrongWindows:
    case Refusal::Emulated: return kExitPlatformUnsupported;
    case Refusal::NotAdministrator: return kExitElevationRequired;
    case Refusal::None: break;
    }
    return kExitSuccess;
}

bool CheckEnvironment(const common::SingleInstanceGuard& guard, IStartupSystem& system, IDesktop& desktop) {
    const char* refusal = RefusalText(CheckStartup(guard, system));
    if (!refusal) return true;
    desktop.ShowMessage(refusal, kSetupCaption, kMbOk | kMbIconError);
    return false;
}

}  // namespace installation

#include "installation/startup.h"

#include "installation/maker.h"

namespace installation {

bool CheckEnvironment(const common::SingleInstanceGuard& guard, IStartupSystem& system, IDesktop& desktop) {
    const char* refusal = nullptr;
    std::uint32_t major = 0, minor = 0;
    bool wow64 = false;
    if (guard.AnotherInstanceRuns()) {
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

}  // namespace installation

// Setup's start-up checks: it runs alone on the machine, on 32-bit
// Windows 8, for an administrator. The platform-free part of CSetupApp's
// instance initialisation (setup_app_win.cpp).
#pragma once

#include <cstdint>

#include "common/single_instance.h"
#include "installation/platform.h"
#include "installation/command_line.h"

namespace installation {

constexpr const char* kSetupMutexName = "Global\\{8D4A6F10-2C3B-4e71-A5D9-1F7C0B93E264}";

constexpr const char* kAnotherSetupText =
    "Another application is already running. Please terminate the previous application.";
constexpr const char* kWrongWindowsText =
    "The application will run only in Windows 8 (32 bit) Operating System.";
constexpr const char* kEmulatedText = "The application will run only in Windows 8 32bit) Operating System.";
constexpr const char* kNotAdministratorText =
    "Administrator Privileges required to install Printer Drivers.\nRight Click the \"Setup\" "
    "application and select \"Run As...\" and log in as Administrator.";

// The system's answers the checks read; the mutex part is the
// single-instance guard's.
class IStartupSystem : public common::IMutexSystem {
public:
    // GetVersionExA on a zeroed OSVERSIONINFOA of size 148; its result is
    // not looked at (a zeroed record fails the check).
    virtual void GetVersion(std::uint32_t* major, std::uint32_t* minor) = 0;
    // IsWow64Process looked up in kernel32 at run time: false when it does
    // not exist; else *wow64 is what it answered for the current process
    // (starting FALSE).
    virtual bool QueryWow64(bool* wow64) = 0;
    virtual bool IsUserAnAdmin() = 0;
};

// What the checks refused, in their order.
enum class Refusal { None, AnotherRuns, WrongWindows, Emulated, NotAdministrator };

// The checks in their order, without a word: the first refusal.
Refusal CheckStartup(const common::SingleInstanceGuard& guard, IStartupSystem& system);
// The refusal's message; null for none.
const char* RefusalText(Refusal refusal);
// The exit code an unattended run ends with after the refusal.
std::uint32_t RefusalExitCode(Refusal refusal);

// Checks in their order; the first that fails shows its message (no owner,
// error icon) and answers false.
bool CheckEnvironment(const common::SingleInstanceGuard& guard, IStartupSystem& system, IDesktop& desktop);

}  // namespace installation

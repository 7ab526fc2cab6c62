// The command line of the two elevated programs, read the same way by
// both: switches introduced by "/" or "-", names in any case, values after
// "=" ("/port=LPT1:", "/log=C:\Logs\till 7.log"). A value with blanks is
// quoted, whole ("/log=C:\x y.log" in quotes) or after the "="; the quotes
// are not part of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace installation {

// Windows Installer's exit codes, which deployment tools understand.
constexpr std::uint32_t kExitSuccess = 0;
constexpr std::uint32_t kExitInvalidParameter = 87;               // ERROR_INVALID_PARAMETER
constexpr std::uint32_t kExitElevationRequired = 740;             // ERROR_ELEVATION_REQUIRED
constexpr std::uint32_t kExitNotFound = 1168;                     // ERROR_NOT_FOUND
constexpr std::uint32_t kExitInstallFailure = 1603;               // ERROR_INSTALL_FAILURE
constexpr std::uint32_t kExitInstallAlreadyRunning = 1618;        // ERROR_INSTALL_ALREADY_RUNNING
constexpr std::uint32_t kExitPlatformUnsupported = 1633;          // ERROR_INSTALL_PLATFORM_UNSUPPORTED
constexpr std::uint32_t kExitUnknownPort = 1796;                  // ERROR_UNKNOWN_PORT

struct CommandLine {
    bool quiet = false;  // /quiet, /q
    bool help = false;   // /?, /help
    bool hasPort = false;
    std::string port;    // /port=NAME
    bool hasLog = false;
    std::string log;     // /log=PATH
    // The first argument that is not understood (an unknown switch, a
    // value missing, given where none belongs or given twice, a switch the
    // program does not take); empty when every one was.
    std::string bad;
};

// The arguments as the system splits them, without the program's name.
std::vector<std::string> SplitArguments(const std::string& arguments);

// Reads the arguments; `takesPort` says whether the program has /port.
CommandLine ReadCommandLine(const std::string& arguments, bool takesPort);

}  // namespace installation

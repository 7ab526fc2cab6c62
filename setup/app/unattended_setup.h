// Setup without its dialogs, for deployment tools and log-on scripts:
// "Setup.exe /quiet /port=LPT1:" installs on the named port (or, with
// /port=usb, on the USB port of the model's printer connected now) what
// the dialog flow installs, shows nothing, writes each step to the log and
// ends with one of Windows Installer's exit codes. The same run without
// /quiet reports in Setup's message boxes instead and starts the monitor.
// A refusal before the installation changes nothing on the machine.
#pragma once

#include <cstdint>
#include <string>

#include "common/single_instance.h"
#include "installation/command_line.h"
#include "installation/platform.h"
#include "installation/startup.h"
#include "installation/step_log.h"

namespace setup {

// "/port=usb": the USB port of the model's printer connected now.
constexpr const char* kUsbPortSwitchValue = "usb";

// The log's file name in the Windows temp folder when none is given.
std::string SetupLogName();

// The usage, shown for /? and after a bad command line.
std::string SetupUsageText();

// Whether the command line asks for the installation without dialogs.
inline bool Unattended(const installation::CommandLine& line) { return line.quiet || line.hasPort; }

class UnattendedSetup {
public:
    // `platform` is the system as the run may show it: quiet, or with
    // Setup's message boxes.
    UnattendedSetup(const installation::InstallerPlatform& platform, installation::StepLog& log, bool quiet)
        : m_platform(platform), m_log(log), m_bQuiet(quiet) {}

    // The checks, the port, the driver file copy and the installation;
    // answers the exit code.
    std::uint32_t Run(const std::string& port, const common::SingleInstanceGuard& guard,
                      installation::IStartupSystem& system);

    // The port the spooler lists under the name (in its spelling), or for
    // "usb" the connected printer's USB port; empty with *exitCode set when
    // there is none.
    std::string ResolvePort(const std::string& port, std::uint32_t* exitCode);

private:
    std::uint32_t Refuse(const std::string& step, const std::string& text, std::uint32_t exitCode);

    const installation::InstallerPlatform& m_platform;
    installation::StepLog& m_log;
    bool m_bQuiet;
};

}  // namespace setup

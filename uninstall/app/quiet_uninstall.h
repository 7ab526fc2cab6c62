// The uninstaller without its question and report box, for deployment
// tools: "Uninstall.exe /quiet" removes every model it finds, as the Yes
// answer does, writes each step to the log and ends with one of Windows
// Installer's exit codes: 0 all removed, 1603 something could not be
// removed (the entry stays, so that it can run again), 1618 Setup or
// another uninstaller runs, 740 not an administrator.
#pragma once

#include <cstdint>
#include <string>

#include "common/single_instance.h"
#include "installation/startup.h"
#include "installation/step_log.h"
#include "uninstall/remove/report.h"
#include "uninstall/remove/uninstaller.h"

namespace uninstall {

// The log's file name in the Windows temp folder when none is given.
constexpr const char* kUninstallLogName = "KLRN Uninstall.log";

// The usage, shown for /? and after a bad command line.
std::string UninstallUsageText();

// What the step was about, for its log line.
std::string StepName(const Step& step);

// Writes each step the uninstaller recorded to the log; answers 1603 when
// one of them failed, else 0.
std::uint32_t LogSteps(const std::vector<Step>& steps, installation::StepLog& log);

// The unattended run on an uninstaller whose platform shows nothing (its
// question is answered Yes and its report goes to the log).
std::uint32_t RunQuietly(CUninstallerCore& uninstaller, const common::SingleInstanceGuard& guard,
                         installation::IStartupSystem& system, installation::StepLog& log);

}  // namespace uninstall

#include "uninstall/app/quiet_uninstall.h"

#include "installation/command_line.h"

namespace uninstall {

using namespace installation;

std::string UninstallUsageText() {
    return std::string("Removes the printer software of every model of the maker: printers, drivers and Status "
                       "Monitors.\n\n"
                       "Uninstall [/quiet] [/log=PATH]\n\n"
                       "/quiet or /q\tno question and no windows; the exit code and the log tell the outcome\n"
                       "/log=PATH\tadds a line for each step to the file (with /quiet, by default\n"
                       "\t\tthe file \"") +
           kUninstallLogName +
           "\" in the Windows Temp folder)\n"
           "/? or /help\tthis text\n\n"
           "Exit codes: 0 removed, 87 bad command line, 740 not an administrator,\n"
           "1603 something could not be removed, 1618 Setup or Uninstall runs.";
}

std::string StepName(const Step& step) {
    const std::string at = step.name.empty() ? std::string() : " " + step.name;
    const std::string of = step.model.empty() ? std::string() : " of " + step.model;
    switch (step.part) {
    case Part::Monitor: return "running Status Monitor" + of;
    case Part::Queues: return "printer list" + of;
    case Part::Queue: return "printer \"" + step.name + "\"";
    case Part::Driver: return "printer driver \"" + step.name + "\"";
    case Part::AutoStart: return "start at log-on" + at;
    case Part::Shortcut: return "Start-menu shortcut" + at;
    case Part::MonitorFile: return "Status Monitor program" + at;
    case Part::StoredInf: return "driver store package" + at + of;
    case Part::StagedFile: return "driver file" + at;
    case Part::ShortcutFolder: return "Start-menu folder" + at;
    case Part::MonitorFolder: return "folder" + at;
    case Part::Uninstaller: return "uninstaller" + at;
    case Part::UninstallEntry: return "uninstall entry";
    default: return "step" + at + of;
    }
}

std::uint32_t LogSteps(const std::vector<Step>& steps, StepLog& log) {
    bool failed = false;
    for (const Step& step : steps) {
        switch (step.outcome) {
        case Outcome::Removed: log.Note(StepName(step), "removed"); break;
        case Outcome::AtRestart: log.Note(StepName(step), "removed when Windows restarts"); break;
        case Outcome::Kept: log.Note(StepName(step), "kept"); break;
        case Outcome::Failed:
            log.Failed(StepName(step), step.error);
            failed = true;
            break;
        default: log.Note(StepName(step), "recorded"); break;
        }
    }
    return failed ? kExitInstallFailure : kExitSuccess;
}

std::uint32_t RunQuietly(CUninstallerCore& uninstaller, const common::SingleInstanceGuard& guard,
                         IStartupSystem& system, StepLog& log) {
    if (guard.AnotherInstanceRuns()) {
        log.Note("start-up checks", std::string("refused: ") + kAnotherSetupText);
        return kExitInstallAlreadyRunning;
    }
    if (!system.IsUserAnAdmin()) {
        log.Note("start-up checks", "refused: not an administrator");
        return kExitElevationRequired;
    }
    log.Done("start-up checks");
    uninstaller.Run(guard);
    return LogSteps(uninstaller.m_steps, log);
}

}  // namespace uninstall

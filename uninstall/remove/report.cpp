#include "uninstall/remove/report.h"

#include <algorithm>
#include <cstdio>

#include "installation/layout.h"
#include "installation/maker.h"
#include "installation/platform.h"

namespace uninstall {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What a step is about, as a noun phrase.
std::string Thing(const Step& step) {
    const std::string at = step.name.empty() ? std::string() : " " + step.name;
    switch (step.part) {
    case Part::Spooler: return "the printer drivers and printers, which the print spooler could not list";
    case Part::Monitor: return "the running Status Monitor";
    case Part::Queues: return "the printers that use the printer driver " + Quoted(step.model);
    case Part::Queue: return "the printer " + Quoted(step.name);
    case Part::Driver: return "the printer driver " + Quoted(step.name);
    case Part::AutoStart: return "the start of the Status Monitor at log-on (" + step.name + ")";
    case Part::EventSource: return "the Status Monitor's event source" + at + " in the Windows event log";
    case Part::Shortcut: return "the Start-menu shortcut" + at;
    case Part::MonitorFile: return "the Status Monitor program" + at;
    case Part::StoredInf: return "the driver package" + at + " in the Windows driver store";
    case Part::StagedFile: return "the driver file" + at;
    case Part::ShortcutFolder: return "the Start-menu folder" + at;
    case Part::MonitorFolder: return "the folder" + at;
    case Part::PortDriver: return "the Status Monitor's port driver" + at + " and its service";
    case Part::Uninstaller: return "the uninstaller" + at;
    case Part::UninstallEntry:
        return "the entry " + Quoted(installation::kUninstallDisplayName) + " in Programs and Features";
    }
    return std::string();
}

// Plain words for the failures met most, then the number for support.
std::string Why(std::uint32_t error) {
    const char* words = nullptr;
    switch (error) {
    case 5: words = "access denied"; break;
    case 32: words = "in use by another program"; break;
    case installation::kErrorTimeout: words = "it did not close in time"; break;
    case 1722: words = "the print spooler does not answer"; break;  // RPC_S_SERVER_UNAVAILABLE
    case 3001: words = "still in use"; break;        // ERROR_PRINTER_DRIVER_IN_USE
    case 0xE000023D: words = "still used by a device"; break;  // ERROR_INF_IN_USE_BY_DEVICES
    default: break;
    }
    char number[32];
    std::snprintf(number, sizeof(number), error <= 0xFFFF ? "error %u" : "error 0x%08X", static_cast<unsigned>(error));
    return words ? std::string(words) + ", " + number : std::string(number);
}

std::string Line(const Step& step) {
    std::string line = "\n- " + Thing(step);
    if (step.outcome == Outcome::Failed || (step.outcome == Outcome::AtRestart && step.error != 0))
        line += " (" + Why(step.error) + ")";
    if (step.outcome != Outcome::Kept) return line;
    if (step.reason == Reason::NotOurs) return line + ", which is not from " + installation::kMakerName;
    if (step.part == Part::UninstallEntry) return line + ", so that you can run Uninstall again from there";
    return line + ", needed until the rest is removed";
}

// The lines of one outcome; with several models, under each model's name
// and then, for what they share, under the entry's name.
std::string Section(const std::vector<std::string>& models, const std::vector<Step>& steps, Outcome outcome) {
    std::vector<std::string> groups = models;
    groups.push_back(std::string());
    std::string text;
    for (const std::string& group : groups) {
        std::string lines;
        for (const Step& step : steps)
            if (step.outcome == outcome && step.model == group) lines += Line(step);
        if (lines.empty()) continue;
        if (models.size() > 1) text += "\n" + (group.empty() ? std::string(installation::kUninstallDisplayName) : group) + ":";
        text += lines;
    }
    return text;
}

}  // namespace

std::string ModelNames(const std::vector<std::string>& models) {
    std::string names;
    for (std::size_t i = 0; i < models.size(); ++i) {
        if (i > 0) names += i + 1 == models.size() ? " and the " : ", the ";
        names += models[i];
    }
    return names;
}

std::string QuestionText(const std::vector<std::string>& models) {
    const std::string names = ModelNames(models);
    if (models.size() == 1)
        return "Do you want to remove the printer software of the " + names +
               " from this computer?\n\nThe printers that use the " + names +
               " printer driver, the driver itself and the " + names +
               " Status Monitor will be removed. Other printers stay as they are.";
    return "Do you want to remove the printer software of the " + names +
           " from this computer?\n\nThe printers that use their printer drivers, the drivers themselves and their "
           "Status Monitors will be removed. Other printers stay as they are.";
}

Report ComposeReport(const std::vector<std::string>& models, const std::vector<Step>& steps) {
    const std::string names = ModelNames(models);
    const std::string removed = Section(models, steps, Outcome::Removed);
    const std::string failed = Section(models, steps, Outcome::Failed);
    const std::string kept = Section(models, steps, Outcome::Kept);
    const std::string atRestart = Section(models, steps, Outcome::AtRestart);
    // The running uninstaller's own file may wait for the restart: nothing
    // is left of the printer software meanwhile.
    const bool restart = std::any_of(steps.begin(), steps.end(), [](const Step& step) {
        return step.outcome == Outcome::AtRestart && step.part != Part::Uninstaller;
    });
    Report report;
    if (!failed.empty())
        report.text = "Some parts of the printer software of the " + names + " could not be removed.";
    else if (!removed.empty() || restart)
        report.text = "The printer software of the " + names + " has been removed.";
    else if (!atRestart.empty())  // only the uninstaller, which is running
        report.text = "No printer software of the " + names + " was found on this computer.";
    else
        report.text = "No printer software of the " + names + " was found on this computer. Nothing was removed.";
    if (!removed.empty()) report.text += "\n\nRemoved:" + removed;
    if (!atRestart.empty()) report.text += "\n\nRemoved when Windows restarts:" + atRestart;
    if (!failed.empty()) report.text += "\n\nNot removed:" + failed;
    if (!kept.empty()) report.text += "\n\nKept:" + kept;
    if (restart) report.text += "\n\nRestart Windows to finish the removal.";
    if (!failed.empty())
        report.text += "\n\nClose any program that may use these parts, then run Uninstall again from Programs and "
                       "Features.";
    report.icon = failed.empty() ? installation::kMbIconInformation : installation::kMbIconWarning;
    return report;
}

}  // namespace uninstall

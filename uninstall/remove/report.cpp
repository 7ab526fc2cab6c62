#include "uninstall/remove/report.h"

#include <cstdio>

#include "installation/layout.h"
#include "installation/platform.h"

namespace uninstall {

using namespace installation;
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What a step is about, as a noun phrase.
std::string Thing(const std::string& displayName, const Step& step) {
    const std::string at = step.name.empty() ? std::string() : " " + step.name;
    switch (step.part) {
    case Part::Monitor: return "the running Status Monitor";
    case Part::Queues: return "the printers that use the printer driver " + Quoted(displayName);
    case Part::Queue: return "the printer " + Quoted(step.name);
    case Part::Driver: return "the printer driver " + Quoted(step.name);
    case Part::AutoStart: return "the start of the Status Monitor at log-on (" + step.name + ")";
    case Part::Shortcut: return "the Start-menu shortcut" + at;
    case Part::ShortcutFolder: return "the Start-menu folder" + at;
    case Part::MonitorFile: return "the Status Monitor program" + at;
    case Part::MonitorFolder: return "the folder" + at;
    case Part::StoredInf: return "the driver package" + at + " in the Windows driver store";
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
    case 3001: words = "still in use"; break;        // ERROR_PRINTER_DRIVER_IN_USE
    case 0xE000023D: words = "still used by a device"; break;  // ERROR_INF_IN_USE_BY_DEVICES
    default: break;
    }
    char number[32];
    std::snprintf(number, sizeof(number), error <= 0xFFFF ? "error %u" : "error 0x%08X", static_cast<unsigned>(error));
    return words ? std::string(words) + ", " + number : std::string(number);
}

std::string Line(const std::string& displayName, const Step& step) {
    std::string line = "\n- " + Thing(displayName, step);
    if (step.outcome == Outcome::Failed) line += " (" + Why(step.error) + ")";
    if (step.outcome == Outcome::Kept) line += ", still needed for the " + step.name;
    return line;
}

}  // namespace

std::string QuestionText(const std::string& displayName) {
    return "Do you want to remove the printer software of the " + displayName +
           " from this computer?\n\nThe printers that use the " + displayName +
           " printer driver, the driver itself and the " + displayName +
           " Status Monitor will be removed. Other printers stay as they are.";
}

Report ComposeReport(const std::string& displayName, const std::vector<Step>& steps) {
    std::string removed, failed, kept;
    for (const Step& step : steps) {
        std::string& section = step.outcome == Outcome::Removed ? removed
                               : step.outcome == Outcome::Failed ? failed
                                                                  : kept;
        section += Line(displayName, step);
    }
    Report report;
    if (!failed.empty())
        report.text = "Some parts of the printer software of the " + displayName + " could not be removed.";
    else if (!removed.empty())
        report.text = "The printer software of the " + displayName + " has been removed.";
    else
        report.text = "No printer software of the " + displayName + " was found on this computer. Nothing was removed.";
    if (!removed.empty()) report.text += "\n\nRemoved:" + removed;
    if (!failed.empty()) report.text += "\n\nNot removed:" + failed;
    if (!kept.empty()) report.text += "\n\nKept:" + kept;
    if (!failed.empty()) report.text += "\n\nClose any program that may use these parts, then run Uninstall again.";
    report.icon = failed.empty() ? installation::kMbIconInformation : installation::kMbIconWarning;
    return report;
}

}  // namespace uninstall

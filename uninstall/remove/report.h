// What the uninstaller says: its question and the report of what it
// removed, kept or could not remove. Every text of the uninstaller lives
// here (the refusal while Setup runs is Setup's own).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uninstall {

// The things the uninstaller takes away, in the order it takes them.
enum class Part {
    Monitor,         // the running status monitor
    Queues,          // the list of queues (only ever Failed)
    Queue,           // one queue of the model's driver
    Driver,          // the printer driver
    AutoStart,       // the Run value
    Shortcut,        // the Start-menu shortcut
    ShortcutFolder,  // the maker's Start-menu folder, when empty
    MonitorFile,     // MonitorPath
    MonitorFolder,   // the STM folder, when empty
    StoredInf,       // the model's INF in the driver store
    UninstallEntry,  // the maker's entry in Programs and Features
};

enum class Outcome { Removed, Kept, Failed };

// One thing the uninstaller met. Things that were not there are not
// recorded at all.
struct Step {
    Part part;
    std::string name;  // the queue, file, value or stored INF; for a kept entry the model that keeps it
    Outcome outcome;
    std::uint32_t error = 0;  // Failed: the system's error code
};

// The Yes/No question before anything is removed.
std::string QuestionText(const std::string& displayName);

// The report's text and its message box icon (information, or warning when
// something could not be removed).
struct Report {
    std::string text;
    std::uint32_t icon;
};
Report ComposeReport(const std::string& displayName, const std::vector<Step>& steps);

}  // namespace uninstall

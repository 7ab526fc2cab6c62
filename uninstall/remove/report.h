// What the uninstaller says: its question and the report of what it
// removed, kept or could not remove, model by model. Every text of the
// uninstaller lives here (the refusal while Setup runs is Setup's own).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uninstall {

// The things the uninstaller takes away, in the order it takes them.
enum class Part {
    Spooler,         // the spooler's lists of drivers and queues (only ever Failed)
    Monitor,         // the running status monitor
    Queues,          // the list of queues (only ever Failed)
    Queue,           // one queue of the model's driver
    Driver,          // the printer driver
    AutoStart,       // the Run value
    EventSource,     // the monitor's event source in the Application log
    Shortcut,        // the Start-menu shortcut
    MonitorFile,     // MonitorPath
    StoredInf,       // the model's INF in the driver store
    StagedFile,      // a file the driver file copy put into DriverDirectory
    ShortcutFolder,  // the maker's Start-menu folder, when empty
    MonitorFolder,   // the STM folder, when empty
    PortDriver,      // the monitors' port-I/O driver service and its file
    Uninstaller,     // DriverDirectory\Uninstall.exe
    UninstallEntry,  // the maker's entry in Programs and Features
};

enum class Outcome {
    Removed,
    AtRestart,  // goes when Windows next starts
    Kept,       // left on purpose; the step's reason tells why
    Failed,
};

// Why a thing was kept.
enum class Reason {
    None,
    Rest,     // needed until what could not be removed is gone
    NotOurs,  // a file of that name that is not the maker's
};

// One thing the uninstaller met. Things that were not there are not
// recorded at all.
struct Step {
    std::string model;  // the model's DisplayName; empty for what the models share
    Part part;
    std::string name;   // the queue, file, value or stored INF
    Outcome outcome;
    std::uint32_t error = 0;  // Failed: the system's error code; AtRestart: why not at once
    Reason reason = Reason::None;  // Kept: why
};

// The models' names for a sentence: "A", "A and B", "A, B and C".
std::string ModelNames(const std::vector<std::string>& models);

// The Yes/No question before anything is removed.
std::string QuestionText(const std::vector<std::string>& models);

// The report's text and its message box icon (information, or warning when
// something could not be removed). When something of the models goes only
// when Windows restarts, the report asks for the restart.
struct Report {
    std::string text;
    std::uint32_t icon;
};
Report ComposeReport(const std::vector<std::string>& models, const std::vector<Step>& steps);

}  // namespace uninstall

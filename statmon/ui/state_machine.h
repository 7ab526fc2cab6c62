// The status evaluation of every tick: the queue poll and the display
// rules that turn queue, job and port state into the window's texts.
#pragma once

#include <cstdint>
#include <string>

#include "statmon/printer/spooler.h"
#include "statmon/ui/status_window.h"

namespace statmon {

// Queue status bits that stop the poll before the jobs are looked at:
// PAUSED, ERROR, PAPER_JAM, PAPER_OUT, PAPER_PROBLEM, OFFLINE,
// OUTPUT_BIN_FULL, NOT_AVAILABLE, NO_TONER, OUT_OF_MEMORY, DOOR_OPEN.
constexpr std::uint32_t kQueueFaultMask = 0x6418DB;
constexpr std::uint32_t kJobStatusPrinting = 0x10;
// The queue was deleted and waits for its last handle to close.
constexpr std::uint32_t kPrinterStatusPendingDeletion = 0x4;
// ERROR, PAPEROUT, BLOCKED_DEVQ: the job walk stops at such a printing job.
constexpr std::uint32_t kJobStopMask = 0x242;

// Reads the queue's status and the status of the job being printed.
// jobStatus becomes -1 first; printerStatus keeps its value when the queue
// cannot be read. True when the queue and its jobs were read.
bool PollQueue(ISpooler& spooler, ISpoolHeap& heap, PrinterHandle printer,
               std::int32_t& jobStatus, std::uint32_t& printerStatus);

// The display texts.
extern const char* const kMsgPaper;
extern const char* const kMsgOffline;
extern const char* const kMsgComm;
extern const char* const kMsgComm1;
extern const char* const kMsgUsb;
extern const char* const kMsgPrinting;
extern const char* const kMsgReadyHide;
extern const char* const kMsgReady;
extern const char* const kMsgSearching;
std::string PauseMessage();  // names the model's DisplayName

// What the rules decide from.
struct StatusInputs {
    std::int32_t jobStatus = -1;
    std::uint32_t printerStatus = 0;
    int portStatus = -1;
    std::string portKind;
    bool usbPresent = false;
};

// The state machine's variables, all 0 at start.
struct StateMachineVars {
    int nShownState = 0;
    bool bSearching = false;
    int nSearchTicks = 0;
    int nPrintCommTicks = 0;
    int nIdleCommTicks = 0;
    int nJobCommTicks = 0;
    int nHideTicks = 0;
    bool bHidePending = false;
};

class StatusStateMachine {
public:
    explicit StatusStateMachine(IStatusWindow& window) : m_window(window) {}

    // The show command starts the Searching phase.
    void BeginSearching() { m_vars.bSearching = true; }
    // The next tick writes its state's texts even when they were shown
    // before (the window showed something else in between).
    void Redraw() { m_vars.nShownState = 0; }

    // Applies the first rule whose condition holds; answers its number
    // (1 to 18), 0 when none holds.
    int Evaluate(const StatusInputs& in);

    const StateMachineVars& Vars() const { return m_vars; }

private:
    // Writes the texts of state `state` unless it is already shown; true
    // when it wrote them (the state was entered).
    bool Texts(int state, const std::string& message, const char* title, Picture picture,
               bool show);
    void ResetCounters();
    // Counts a tick toward the automatic hide; true when the window is to hide now.
    bool HideTick();

    IStatusWindow& m_window;
    StateMachineVars m_vars;
};

}  // namespace statmon

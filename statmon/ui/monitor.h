// The monitoring heart of the status window: all monitoring state, the
// queue discovery and the per-tick status evaluation. The status dialog
// forwards its initialisation, commands, ticks and timer to it.
#pragma once

#include <cstdint>
#include <string>

#include "common/device_notice.h"
#include "statmon/printer/discovery.h"
#include "statmon/printer/parallel_port.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/printer/usb_presence.h"
#include "statmon/ui/state_machine.h"
#include "statmon/ui/status_events.h"
#include "statmon/ui/status_window.h"

namespace statmon {

// While no queue can be opened, it is tried again every this many ticks.
constexpr int kQuietRetryTicks = 3;
// Queue polls failed in a row before the restart runs; while polls keep
// failing the count doubles after each restart, up to the last value.
constexpr int kFailedPollsBeforeRestart = 3;
constexpr int kMaxFailedPollsBeforeRestart = 60;

class Monitor {
public:
    Monitor(IStatusWindow& window, ISpooler& spooler, common::IRegistryReader& registry, IParallelPort& port);
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // Opens the model's queue (closing the previous one) and discovers its
    // port; shows the not-installed display and answers false when the
    // queue is missing. Monitoring runs while the last opening succeeded.
    bool OpenModelPrinter();

    // The restart command: a fresh queue handle (the old one closed), the
    // port discovered again and the USB printer scanned again. When the
    // queue opens after it was missing, the shown state is drawn anew.
    bool Restart();

    // One status tick. A moved queue runs the restart command (through the
    // window) and ends the tick; otherwise the queue poll, the first
    // matching rule, and the message written to its control. While no
    // queue could be opened it quietly tries again every few ticks, keeping
    // the not-installed display until the queue opens. Polls that keep
    // failing run the restart, with a back-off while they go on failing; a
    // queue pending deletion counts as gone and its handle is closed.
    void OnStatusTick();

    // Scans the present USB printing interfaces for the model's; the USB
    // presence is what the scan found.
    void FindUsbPrinter(IDeviceInterfaces& devices);
    // Where later restarts scan again (none: they do not scan).
    void SetDeviceInterfaces(IDeviceInterfaces* devices) { m_pDevices = devices; }
    // Back from sleep or hibernation, or the session unlocked: the USB
    // printer is scanned again and the port driver reopened at its next read.
    void OnResume();
    // WM_DEVICECHANGE: an arrival or removal of the model's USB device sets
    // or clears the USB presence; every other notice changes nothing.
    void OnDeviceChange(const common::DeviceNotice& notice);

    // The show command's part: the Searching phase begins.
    void BeginSearching();

    // Timer 1: the port status is read anew.
    void OnPortTimer();

    // Window initialisation: port status unknown, timer 1 not armed.
    void ResetPortState();

    void SetUsbPresent(bool present) { m_bUsbPresent = present; }
    bool UsbPresent() const { return m_bUsbPresent; }

    // Read-only views.
    std::int32_t JobStatus() const { return m_nJobStatus; }
    std::uint32_t PrinterStatus() const { return m_nPrinterStatus; }
    PrinterHandle Printer() const { return m_port.m_hPrinter; }
    const PrinterDefaults& Defaults() const { return m_port.m_defaults; }
    const std::string& PortKind() const { return m_port.m_strPortKind; }
    const std::string& PortName() const { return m_port.m_strPortName; }
    int PortStatus() const { return m_port.m_nPortStatus; }
    unsigned TimerId() const { return m_port.m_nTimerId; }
    const StateMachineVars& Vars() const { return m_machine.Vars(); }
    int ShownState() const { return m_machine.Vars().nShownState; }
    // Number of the rule the last evaluated tick applied (0: none, or the
    // tick ended at the port-change check).
    int LastRule() const { return m_nLastRule; }
    bool Monitoring() const { return m_bMonitoring; }

    // Where the changes of the shown state are reported (none: nowhere).
    void SetEventLog(IEventLog* log) { m_events = StatusEvents(log); }

    // Where record buffers and diagnostic lines go (the process heap and
    // standard output unless replaced).
    void SetSpoolHeap(ISpoolHeap& heap) { m_pHeap = &heap; }

private:
    IStatusWindow& m_window;
    ISpooler& m_spooler;
    IParallelPort& m_parallel;

    std::int32_t m_nJobStatus = -1;
    std::uint32_t m_nPrinterStatus = 0;
    PrinterPortState m_port;  // m_hPrinter, defaults, m_strPortKind/Name, m_nPortStatus, m_nTimerId
    bool m_bUsbPresent = false;
    bool m_bMonitoring = false;  // the last OpenModelPrinter answered true
    int m_nRetryTicks = 0;       // ticks since the last quiet attempt to open
    int m_nFailedPolls = 0;      // queue polls failed in a row
    int m_nPollBackoff = 0;      // failed polls that run the next restart
    IDeviceInterfaces* m_pDevices = nullptr;

    // The event log's view of what is shown, and the ticks it counts in.
    void ReportWatching(bool wasMonitoring);
    void ReportShown(ShownKind kind);
    void Evaluate();
    StatusEvents m_events{nullptr};
    long m_nTick = 0;

    ISpoolHeap* m_pHeap;
    PrinterDiscovery m_discovery;
    StatusStateMachine m_machine;
    int m_nLastRule = 0;
};

}  // namespace statmon

// The monitoring heart of the status window: all monitoring state, the
// queue discovery and the per-tick status evaluation. The status dialog
// forwards its initialisation, commands, ticks and timer to it.
#pragma once

#include <cstdint>
#include <string>

#include "statmon/printer/discovery.h"
#include "statmon/printer/parallel_port.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/ui/state_machine.h"
#include "statmon/ui/status_window.h"

namespace statmon {

class Monitor {
public:
    Monitor(IStatusWindow& window, ISpooler& spooler, common::IRegistryReader& registry, IParallelPort& port);
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // Opens the model's queue (closing the previous one) and discovers its
    // port; shows the not-installed display and answers false when the
    // queue is missing. The caller starts the tick worker on true.
    bool OpenModelPrinter();

    // WM_STATUS_TICK: a moved queue runs the restart command and ends the
    // tick; otherwise the queue poll, the first matching rule, and the
    // message written to its control.
    void OnStatusTick();

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

    ISpoolHeap* m_pHeap;
    PrinterDiscovery m_discovery;
    StatusStateMachine m_machine;
    int m_nLastRule = 0;
};

}  // namespace statmon

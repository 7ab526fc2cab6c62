// Printer and port discovery: opening the model's queue, learning and
// classifying its port (preparing the status register polling for a
// parallel port), and the per-tick check for a moved queue.
#pragma once

#include <cstdint>
#include <string>

#include "statmon/printer/parallel_port.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/ui/status_window.h"

namespace statmon {

// Size of the buffer the published port name is read into.
constexpr std::uint32_t kPublishedPortNameBytes = 20;

// The members of the status window that discovery writes.
struct PrinterPortState {
    PrinterHandle m_hPrinter = 0;
    PrinterDefaults m_defaults;
    std::string m_strPortKind;
    std::string m_strPortName;
    int m_nPortStatus = PORT_STATUS_UNKNOWN;
    unsigned m_nTimerId = 0;
};

// "SYSTEM\CurrentControlSet\Control\Print\Printers\" + DisplayName + "\DsSpooler"
std::string DsSpoolerKey();

class PrinterDiscovery {
public:
    PrinterDiscovery(PrinterPortState& state, IStatusWindow& window, ISpooler& spooler,
                     common::IRegistryReader& registry, IParallelPort& port, ISpoolHeap*& heap)
        : m_state(state), m_window(window), m_spooler(spooler), m_registry(registry),
          m_port(port), m_heap(heap) {}

    // Opens the queue named DisplayName (closing the previous handle first)
    // and discovers its port; shows the not-installed display when the queue
    // cannot be opened. True when opened and discovered.
    bool OpenModelPrinter();
    // Reads the queue's port name and classifies it; see OpenModelPrinter.
    bool DiscoverPort();
    // True when the port name the spooler publishes differs from
    // m_strPortName. A DsSpooler key that cannot be opened means no change.
    bool PortChanged();

private:
    void ClassifyParallelPort();
    void StopPortTimer();

    PrinterPortState& m_state;
    IStatusWindow& m_window;
    ISpooler& m_spooler;
    common::IRegistryReader& m_registry;
    IParallelPort& m_port;
    ISpoolHeap*& m_heap;
};

}  // namespace statmon

// Printer and port discovery: opening the model's queue, learning and
// classifying its port (preparing the status register polling for a
// parallel port), and the per-tick check for a moved queue.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "statmon/printer/parallel_port.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/ui/status_window.h"

namespace statmon {

// The published port name is read whole, however long (a second TCP/IP
// port of one address is "IP_192.168.100.123_1"), up to this many bytes.
constexpr std::uint32_t kMaxPublishedPortNameBytes = 64 * 1024;
constexpr long kErrorMoreData = 234;  // ERROR_MORE_DATA

// The port names of a published multi-string joined as the spooler joins a
// pooled queue's ports in its records: "LPT1:\0LPT2:\0\0" gives "LPT1:,LPT2:".
std::string JoinMultiString(const std::uint8_t* data, std::size_t size);

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
    // cannot be opened and `showMissing` is set. True when opened and discovered.
    bool OpenModelPrinter(bool showMissing = true);
    // Closes the queue handle (a queue deleted under the monitor is gone
    // only once its last handle closes).
    void ClosePrinter();
    // The not-installed display.
    void ShowNotInstalled();
    // Reads the queue's port name and classifies it; see OpenModelPrinter.
    bool DiscoverPort();
    // True when the port name the spooler publishes differs from
    // m_strPortName. A DsSpooler key that cannot be opened means no change,
    // and a published name that already caused the last restart is not a
    // change again (the reopened queue may name its port otherwise): the
    // monitor never restarts twice in a row for one published value.
    bool PortChanged();
    // The published port name, all its strings joined; empty when the value
    // is missing or unreadable, nothing when the key cannot be opened.
    std::optional<std::string> ReadPublishedPortName();

private:
    void ClassifyParallelPort();
    void StopPortTimer();

    // What the hardware lookup answered for a port key (WMI is slow and the
    // answer does not change while the machine runs).
    struct PortLookup {
        std::string deviceKey;  // g_strPortKey after the lookup
        bool found = false;     // a status register address was found
        std::uint16_t statusPort = 0;
    };
    std::map<std::string, PortLookup> m_lookups;
    std::optional<std::string> m_restartedFor;  // published value of the last restart

    PrinterPortState& m_state;
    IStatusWindow& m_window;
    ISpooler& m_spooler;
    common::IRegistryReader& m_registry;
    IParallelPort& m_port;
    ISpoolHeap*& m_heap;
};

}  // namespace statmon

#include "statmon/ui/monitor.h"

namespace statmon {

Monitor::Monitor(IStatusWindow& window, ISpooler& spooler, common::IRegistryReader& registry,
                 IParallelPort& port)
    : m_window(window),
      m_spooler(spooler),
      m_parallel(port),
      m_pHeap(&ProcessSpoolHeap()),
      m_discovery(m_port, window, spooler, registry, port, m_pHeap),
      m_machine(window) {}

Monitor::~Monitor() {
    if (m_port.m_hPrinter) m_spooler.ClosePrinter(m_port.m_hPrinter);
}

bool Monitor::OpenModelPrinter() { return m_discovery.OpenModelPrinter(); }

void Monitor::OnStatusTick() {
    m_nLastRule = 0;
    if (m_discovery.PortChanged()) {
        m_window.Restart();
        return;
    }
    PollQueue(m_spooler, *m_pHeap, m_port.m_hPrinter, m_nJobStatus, m_nPrinterStatus);

    StatusInputs in;
    in.jobStatus = m_nJobStatus;
    in.printerStatus = m_nPrinterStatus;
    in.portStatus = m_port.m_nPortStatus;
    in.portKind = m_port.m_strPortKind;
    in.usbPresent = m_bUsbPresent;
    m_nLastRule = m_machine.Evaluate(in);

    m_window.WriteControls();
}

void Monitor::BeginSearching() { m_machine.BeginSearching(); }

void Monitor::OnPortTimer() { m_port.m_nPortStatus = m_parallel.ReadPortStatus(); }

void Monitor::ResetPortState() {
    m_port.m_nPortStatus = PORT_STATUS_UNKNOWN;
    m_port.m_nTimerId = 0;
}

}  // namespace statmon

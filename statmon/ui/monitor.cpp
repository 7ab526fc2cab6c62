#include "statmon/ui/monitor.h"

#include <algorithm>

#include "catalogue/model_catalogue.h"

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

bool Monitor::OpenModelPrinter() {
    const bool wasMonitoring = m_bMonitoring;
    m_bMonitoring = m_discovery.OpenModelPrinter();
    m_nRetryTicks = 0;
    ReportWatching(wasMonitoring);
    return m_bMonitoring;
}

void Monitor::ReportWatching(bool wasMonitoring) {
    if (m_bMonitoring && !wasMonitoring) ReportShown(ShownKind::Watching);
    if (!m_bMonitoring) ReportShown(ShownKind::NotInstalled);
}

void Monitor::ReportShown(ShownKind kind) {
    const std::string port = kind == ShownKind::NotInstalled ? std::string() : m_port.m_strPortName;
    m_events.OnShown(kind, catalogue::Target().DisplayName, port, m_window.Message(), m_nTick);
}

bool Monitor::Restart() {
    m_window.ReadControls();
    const bool wasMonitoring = m_bMonitoring;
    OpenModelPrinter();
    if (m_bMonitoring && !wasMonitoring) m_machine.Redraw();
    if (m_pDevices) FindUsbPrinter(*m_pDevices);
    return m_bMonitoring;
}

void Monitor::OnStatusTick() {
    ++m_nTick;
    Evaluate();
    m_events.OnTick(m_nTick);
}

void Monitor::Evaluate() {
    m_nLastRule = 0;
    if (!m_bMonitoring) {
        // Setup not run yet, the spooler still starting at log-on, the
        // queue deleted: look again now and then, without a word.
        if (++m_nRetryTicks < kQuietRetryTicks) return;
        m_nRetryTicks = 0;
        if (!m_discovery.OpenModelPrinter(false)) return;
        m_bMonitoring = true;
        m_nFailedPolls = 0;
        m_nPollBackoff = 0;
        m_machine.Redraw();  // the not-installed texts give way to the state
        ReportShown(ShownKind::Watching);
        return;
    }
    if (m_discovery.PortChanged()) {
        m_window.Restart();
        return;
    }
    const bool polled =
        PollQueue(m_spooler, *m_pHeap, m_port.m_hPrinter, m_nJobStatus, m_nPrinterStatus);
    if (polled && (m_nPrinterStatus & kPrinterStatusPendingDeletion)) {
        // Deleted: the queue goes once its last handle closes, ours included.
        m_discovery.ClosePrinter();
        m_bMonitoring = false;
        m_nRetryTicks = 0;
        m_nPrinterStatus = 0;
        m_discovery.ShowNotInstalled();
        ReportShown(ShownKind::NotInstalled);
        return;
    }
    if (polled) {
        m_nFailedPolls = 0;
        m_nPollBackoff = 0;
    } else if (++m_nFailedPolls >= (m_nPollBackoff ? m_nPollBackoff : kFailedPollsBeforeRestart)) {
        // The spooler restarted or forgot the handle: a fresh one.
        m_nFailedPolls = 0;
        m_nPollBackoff = m_nPollBackoff ? std::min(2 * m_nPollBackoff, kMaxFailedPollsBeforeRestart)
                                        : 2 * kFailedPollsBeforeRestart;
        m_window.Restart();
        return;
    }

    StatusInputs in;
    in.jobStatus = m_nJobStatus;
    in.printerStatus = m_nPrinterStatus;
    in.portStatus = m_port.m_nPortStatus;
    in.portKind = m_port.m_strPortKind;
    in.usbPresent = m_bUsbPresent;
    m_nLastRule = m_machine.Evaluate(in);

    m_window.WriteControls();
    ReportShown(KindOfState(m_machine.Vars().nShownState));
}

void Monitor::FindUsbPrinter(IDeviceInterfaces& devices) {
    m_bUsbPresent = ScanForUsbPrinter(devices, common::UsbInterfacePath(catalogue::Target().UsbSerial));
}

void Monitor::OnResume() {
    if (m_pDevices) FindUsbPrinter(*m_pDevices);
    m_parallel.Reconnect();
}

void Monitor::OnDeviceChange(const common::DeviceNotice& notice) {
    switch (common::ClassifyUsbNotice(notice, common::UsbDeviceName(catalogue::Target().UsbSerial))) {
    case common::UsbNotice::ModelArrived: m_bUsbPresent = true; break;
    case common::UsbNotice::ModelRemoved: m_bUsbPresent = false; break;
    case common::UsbNotice::Other: break;
    }
}

void Monitor::BeginSearching() { m_machine.BeginSearching(); }

void Monitor::OnPortTimer() { m_port.m_nPortStatus = m_parallel.ReadPortStatus(); }

void Monitor::ResetPortState() {
    m_port.m_nPortStatus = PORT_STATUS_UNKNOWN;
    m_port.m_nTimerId = 0;
}

}  // namespace statmon

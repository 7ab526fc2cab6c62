#include "statmon/printer/discovery.h"

#include <cstring>

#include "catalogue/model_catalogue.h"

namespace statmon {

std::string DsSpoolerKey() {
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") +
           catalogue::Target().DisplayName + "\\DsSpooler";
}

bool PrinterDiscovery::OpenModelPrinter() {
    m_state.m_defaults = PrinterDefaults{nullptr, nullptr, PRINTER_ALL_ACCESS_RIGHTS};

    // The previous pass's handle is never used again.
    if (m_state.m_hPrinter) {
        m_spooler.ClosePrinter(m_state.m_hPrinter);
        m_state.m_hPrinter = 0;
    }

    const std::string name = catalogue::Target().DisplayName;
    PrinterHandle handle = 0;
    if (m_spooler.OpenPrinterA(name, &handle, &m_state.m_defaults) && handle) {
        m_state.m_hPrinter = handle;
        return DiscoverPort();
    }

    // Not installed.
    m_window.ReadControls();
    m_window.Message() = name + " not installed.";
    m_window.SetTitle("No Printer Found");
    m_window.ShowPicture(Picture::Error);
    m_window.WriteControls();
    return false;
}

bool PrinterDiscovery::DiscoverPort() {
    std::uint8_t scratch[kSizeQueryBytes] = {};
    std::uint32_t needed = 0;
    if (m_spooler.GetPrinterA(m_state.m_hPrinter, 5, scratch, sizeof(scratch), &needed))
        return true;
    if (m_spooler.LastError() != ERROR_INSUFFICIENT_BUFFER_CODE) return false;

    auto buffer = AllocateRecordBuffer(*m_heap, needed);
    if (!buffer) return false;

    PrinterInfo5 info;
    std::uint32_t again = 0;
    if (!m_spooler.GetPrinterA(m_state.m_hPrinter, 5, buffer.get(), needed, &again) ||
        !m_spooler.DecodePrinterInfo5(buffer.get(), needed, &info)) {
        m_state.m_strPortKind.clear();
        return false;
    }

    m_state.m_strPortKind = info.pPortName;
    m_state.m_strPortName = info.pPortName;

    const std::string& kind = m_state.m_strPortKind;
    if (kind.find("LPT") != std::string::npos) {
        ClassifyParallelPort();
    } else if (kind.find("USB") != std::string::npos) {
        m_state.m_strPortKind = "USB";
        m_state.m_nPortStatus = PORT_STATUS_UNKNOWN;
        StopPortTimer();
    } else if (kind.find("COM") != std::string::npos) {
        m_state.m_strPortKind = "COM";
        m_state.m_nPortStatus = PORT_STATUS_UNKNOWN;
        StopPortTimer();
    }
    // Any other port keeps its full name as the kind; nothing else changes.

    buffer.reset();
    m_window.WriteControls();
    return true;
}

void PrinterDiscovery::ClassifyParallelPort() {
    m_state.m_strPortKind = "LPT";
    g_nPlatform = m_port.GetPlatform();
    m_state.m_nPortStatus = PORT_STATUS_UNKNOWN;
    if (g_nPlatform == 2) m_port.OpenPortDriver();

    const std::string& name = m_state.m_strPortName;
    if (name == "LPT1:")
        g_strPortKey = "(LPT1)";
    else if (name == "LPT2:")
        g_strPortKey = "(LPT2)";
    else if (name == "LPT3:")
        g_strPortKey = "(LPT3)";

    // Instrumentation not usable: timer 1 keeps its state.
    if (m_port.FindPortDeviceId() != 0) return;

    if (m_port.LookupStatusPort())
        m_state.m_nTimerId = m_window.ArmPortTimer();  // replaces a running timer 1
    else
        StopPortTimer();
}

void PrinterDiscovery::StopPortTimer() {
    if (m_state.m_nTimerId != 0 && m_window.KillPortTimer(m_state.m_nTimerId))
        m_state.m_nTimerId = 0;
}

bool PrinterDiscovery::PortChanged() {
    common::RegKey key = 0;
    if (m_registry.OpenKeyEx(common::RegRoot::LocalMachine, DsSpoolerKey(), common::kKeyAllAccess, &key) != 0)
        return false;

    std::uint8_t data[kPublishedPortNameBytes] = {};
    std::uint32_t type = common::kRegMultiSz;
    std::uint32_t size = sizeof(data);
    std::string published;
    if (m_registry.QueryValueEx(key, "portName", &type, data, &size) == 0) {
        // The first string of the multi-string, bounded by the buffer.
        std::uint32_t limit = size < sizeof(data) ? size : sizeof(data);
        const void* end = std::memchr(data, 0, limit);
        std::size_t length = end ? static_cast<const std::uint8_t*>(end) - data : limit;
        published.assign(reinterpret_cast<const char*>(data), length);
    }
    m_registry.CloseKey(key);

    return published != m_state.m_strPortName;
}

}  // namespace statmon

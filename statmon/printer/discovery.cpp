#include "statmon/printer/discovery.h"

#include <cstring>
#include <memory>

#include "catalogue/model_catalogue.h"

namespace statmon {

std::string DsSpoolerKey() {
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") +
           catalogue::Target().DisplayName + "\\DsSpooler";
}

std::string JoinMultiString(const std::uint8_t* data, std::size_t size) {
    std::string joined;
    std::size_t pos = 0;
    while (pos < size) {
        const void* zero = std::memchr(data + pos, 0, size - pos);
        const std::size_t end = zero ? static_cast<const std::uint8_t*>(zero) - data : size;
        if (end == pos) break;  // the empty string ends the list
        if (!joined.empty()) joined += ',';
        joined.append(reinterpret_cast<const char*>(data + pos), end - pos);
        pos = end + 1;
    }
    return joined;
}

void PrinterDiscovery::ClosePrinter() {
    if (m_state.m_hPrinter) {
        m_spooler.ClosePrinter(m_state.m_hPrinter);
        m_state.m_hPrinter = 0;
    }
}

bool PrinterDiscovery::OpenModelPrinter(bool showMissing) {
    m_state.m_defaults = PrinterDefaults{nullptr, nullptr, PRINTER_ACCESS_USE_RIGHTS};

    // The previous pass's handle is never used again.
    ClosePrinter();

    const std::string name = catalogue::Target().DisplayName;
    PrinterHandle handle = 0;
    if (m_spooler.OpenPrinterA(name, &handle, &m_state.m_defaults) && handle) {
        m_state.m_hPrinter = handle;
        return DiscoverPort();
    }

    if (showMissing) ShowNotInstalled();
    return false;
}

void PrinterDiscovery::ShowNotInstalled() {
    m_window.ReadControls();
    m_window.Message() = std::string(catalogue::Target().DisplayName) + " not installed.";
    m_window.SetTitle("No Printer Found");
    m_window.ShowPicture(Picture::Error);
    m_window.WriteControls();
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

    PortLookup lookup;
    const auto known = m_lookups.find(g_strPortKey);
    if (known != m_lookups.end()) {
        lookup = known->second;
        g_strPortKey = lookup.deviceKey;
        if (lookup.found) g_wStatusPort = lookup.statusPort;
    } else {
        const std::string portKey = g_strPortKey;
        // Instrumentation not usable now: timer 1 keeps its state, and the
        // next discovery asks again.
        if (m_port.FindPortDeviceId() != 0) return;
        lookup.deviceKey = g_strPortKey;
        lookup.found = m_port.LookupStatusPort();
        lookup.statusPort = g_wStatusPort;
        m_lookups[portKey] = lookup;
    }

    if (lookup.found)
        m_state.m_nTimerId = m_window.ArmPortTimer();  // replaces a running timer 1
    else
        StopPortTimer();
}

void PrinterDiscovery::StopPortTimer() {
    if (m_state.m_nTimerId != 0 && m_window.KillPortTimer(m_state.m_nTimerId))
        m_state.m_nTimerId = 0;
}

std::optional<std::string> PrinterDiscovery::ReadPublishedPortName() {
    // Read access: HKLM is not writable for the user the monitor runs as.
    common::RegKey key = 0;
    if (m_registry.OpenKeyEx(common::RegRoot::LocalMachine, DsSpoolerKey(), common::kKeyRead, &key) != 0)
        return std::nullopt;

    // Size query first; the value may grow between the two calls.
    std::string published;
    std::uint32_t size = 0;
    std::uint32_t type = common::kRegMultiSz;
    long result = m_registry.QueryValueEx(key, "portName", &type, nullptr, &size);
    for (int attempt = 0; attempt < 3 && (result == 0 || result == kErrorMoreData); ++attempt) {
        if (size == 0 || size > kMaxPublishedPortNameBytes) break;
        std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]());
        std::uint32_t read = size;
        type = common::kRegMultiSz;
        result = m_registry.QueryValueEx(key, "portName", &type, data.get(), &read);
        if (result == 0) {
            published = JoinMultiString(data.get(), read < size ? read : size);
            break;
        }
        size = read;
    }
    m_registry.CloseKey(key);
    return published;
}

bool PrinterDiscovery::PortChanged() {
    const std::optional<std::string> published = ReadPublishedPortName();
    if (!published || *published == m_state.m_strPortName) {
        m_restartedFor.reset();
        return false;
    }
    if (m_restartedFor == published) return false;
    m_restartedFor = published;
    return true;
}

}  // namespace statmon

#include "setup/ui/port_choice.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "installation/maker.h"

namespace setup {

using namespace installation;

std::string SelectedPort;

namespace {

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

std::optional<std::vector<PortEntry>> EnumeratePorts(const InstallerPlatform& platform) {
    std::uint32_t returned = 0;
    const common::SpoolRecords answer = common::ReadSpoolRecords(
        *platform.heap, [&](std::uint8_t* buffer, std::uint32_t size, std::uint32_t* needed) {
            const bool ok = platform.spooler.EnumPortsA(2, buffer, size, needed, &returned);
            return common::SpoolCallResult{ok, ok ? 0 : platform.kernel.GetLastError()};
        });
    if (answer.outcome == common::SpoolRead::Failed) return std::nullopt;
    std::vector<PortEntry> ports;
    if (answer.outcome == common::SpoolRead::Empty) return ports;

    // Only records that lie wholly in the answer are read.
    const std::size_t count = std::min<std::size_t>(returned, answer.size / sizeof(PortInfo2Record));
    for (std::size_t i = 0; i < count; ++i) {
        PortInfo2Record record;
        std::memcpy(&record, answer.buffer.get() + i * sizeof(record), sizeof(record));
        ports.push_back({Text(record.pPortName), Text(record.pDescription)});
    }
    return ports;
}

std::string PortDisplayText(const PortEntry& port) { return port.name + " (" + port.description + ")"; }

void PortChoice::OnInitDialog() {
    if (FillPortList()) return;
    m_window.Ask(kPortEnumerationErrorText, kSetupCaption, kMbOkCancel);  // the answer is not looked at
    OnCancel();
}

bool PortChoice::FillPortList() {
    const std::optional<std::vector<PortEntry>> ports = EnumeratePorts(m_platform);
    if (!ports) return false;
    for (std::size_t i = 0; i < ports->size(); ++i) {
        const PortEntry& port = (*ports)[i];
        const std::string text = PortDisplayText(port);
        const int index = static_cast<int>(i);
        m_window.InsertPort(index, text, port.name);
        if (port.name == kProposedPort) {
            m_window.SelectPort(index);
            m_strCurrentPort = text;
            m_selectedPort = port.name;
            m_window.ShowCurrentPort();
        }
    }
    m_window.ShowCurrentPort();
    return true;
}

void PortChoice::OnSelectionChange() {
    const int index = m_window.SelectedPortIndex();
    if (index < 0) return;
    m_strCurrentPort = m_window.PortText(index);
    m_selectedPort = m_window.PortName(index);
    m_window.ShowCurrentPort();
}

void PortChoice::OnOk() {
    // An empty port name names no port: the installer would wait for it in
    // vain and fail.
    if (m_selectedPort.empty()) return;
    m_window.Hide();
    m_platform.desktop.BeginWaitCursor();
    m_window.ShowPleaseWait();
    std::unique_ptr<CInstallerCore> installer = m_window.CreateInstaller();
    installer->m_strPort = m_selectedPort;
    installer->Install();
    m_window.HidePleaseWait();
    m_platform.desktop.EndWaitCursor();
    installer->ReportResult();
    m_window.End(kIdOk);
    m_window.DiscardPleaseWait();
}

}  // namespace setup

#include "setup/ui/printer_connection_win.h"

#include "common/device_notice_win.h"
#include "setup/ui/port_selection_win.h"

namespace setup {

using namespace installation;

namespace {

std::string OwnProgramName() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ProgramName(std::string(path, length < MAX_PATH ? length : 0));
}

}  // namespace

CPrinterConnection::CPrinterConnection()
    : CInstallingDialog(IDD), m_wait(*this, Win32Platform(), OwnProgramName()) {}

CPrinterConnection::~CPrinterConnection() { StopDeviceNotices(); }

const framework::MessageMap* CPrinterConnection::GetMessageMap() const {
    using T = CPrinterConnection;
    using namespace framework;
    static const MessageMapEntry entries[] = {
        OnCommand(IDC_MANUAL, &T::OnManual),
        OnCommand(IDC_CONNECTION_CANCEL, &T::OnCancelButton),
        OnMessage(WM_DEVICECHANGE, &T::OnDeviceChange),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries, sizeof(entries) / sizeof(entries[0])};
    return &map;
}

BOOL CPrinterConnection::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hDevNotify = common::RegisterUsbDeviceNotices(m_hWnd);
    return TRUE;
}

void CPrinterConnection::StopDeviceNotices() {
    if (!m_hDevNotify) return;
    ::UnregisterDeviceNotification(m_hDevNotify);
    m_hDevNotify = nullptr;
}

void CPrinterConnection::RunPortSelection() {
    CPortSelection selection;
    selection.DoModal();
}

LRESULT CPrinterConnection::OnManual(WPARAM, LPARAM) {
    m_wait.OnManual();
    return 0;
}

LRESULT CPrinterConnection::OnCancelButton(WPARAM, LPARAM) {
    m_wait.OnCancel();
    return 0;
}

LRESULT CPrinterConnection::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    m_wait.OnDeviceChange(common::DecodeDeviceNotice(wParam, lParam));
    return 0;
}

}  // namespace setup

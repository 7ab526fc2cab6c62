#include "setup/ui/port_selection_win.h"

namespace setup {

using namespace installation;

CPortSelection::CPortSelection() : CInstallingDialog(IDD), m_choice(*this, Win32Platform(), SelectedPort) {}

const framework::MessageMap* CPortSelection::GetMessageMap() const {
    using T = CPortSelection;
    using namespace framework;
    static const MessageMapEntry entries[] = {
        OnCommand(IDC_PORT_OK, &T::OnOkButton),
        OnCommand(IDC_PORT_LIST, &T::OnSelChange, LBN_SELCHANGE),
        OnCommand(IDC_PORT_CANCEL, &T::OnCancelButton),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries, sizeof(entries) / sizeof(entries[0])};
    return &map;
}

void CPortSelection::DoDataExchange(framework::CDataExchange* dx) {
    framework::DDX_Control(dx, IDC_PORT_LIST, m_list);
    framework::DDX_Text(dx, IDC_CURRENT_PORT, m_choice.m_strCurrentPort);
}

BOOL CPortSelection::OnInitDialog() {
    CDialog::OnInitDialog();
    m_choice.OnInitDialog();
    return TRUE;
}

void CPortSelection::InsertPort(int index, const std::string& text, const std::string& name) {
    const LRESULT at = m_list.SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) return;
    m_portNames.push_back(std::make_unique<std::string>(name));
    m_list.SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(m_portNames.back().get()));
}

void CPortSelection::SelectPort(int index) { m_list.SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)); }

int CPortSelection::SelectedPortIndex() {
    const LRESULT index = m_list.SendMessage(LB_GETCURSEL);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::string CPortSelection::PortText(int index) {
    const LRESULT length = m_list.SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = m_list.SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

std::string CPortSelection::PortName(int index) {
    const LRESULT data = m_list.SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index));
    if (data == LB_ERR || data == 0) return std::string();
    return *reinterpret_cast<const std::string*>(data);
}

LRESULT CPortSelection::OnOkButton(WPARAM, LPARAM) {
    m_choice.OnOk();
    return 0;
}

LRESULT CPortSelection::OnSelChange(WPARAM, LPARAM) {
    m_choice.OnSelectionChange();
    return 0;
}

LRESULT CPortSelection::OnCancelButton(WPARAM, LPARAM) {
    m_choice.OnCancel();
    return 0;
}

}  // namespace setup

// CPortSelection: the manual port selection (dialog 109); the logic is
// PortChoice.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/ui/port_choice.h"
#include "setup/ui/resource.h"
#include "setup/ui/setup_dialog_win.h"

namespace setup {

class CPortSelection : public CInstallingDialog<IPortSelectionWindow> {
public:
    enum { IDD = IDD_PORT_SELECTION };

    CPortSelection();

    // IPortSelectionWindow
    void InsertPort(int index, const std::string& text, const std::string& name) override;
    void SelectPort(int index) override;
    int SelectedPortIndex() override;
    std::string PortText(int index) override;
    std::string PortName(int index) override;
    void ShowCurrentPort() override { UpdateData(FALSE); }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* dx) override;
    // The generic accept does nothing here: the dialog ends through button
    // 1008 (Enter presses it) or a confirmed cancel.
    void OnOK() override {}
    void OnCancel() override { m_choice.OnCancel(); }
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnOkButton(WPARAM, LPARAM);
    LRESULT OnSelChange(WPARAM, LPARAM);
    LRESULT OnCancelButton(WPARAM, LPARAM);

    framework::CWnd m_list;  // control 1016
    // Each entry's own copy of its bare port name (its item datum), freed
    // with the dialog.
    std::vector<std::unique_ptr<std::string>> m_portNames;
    PortChoice m_choice;
};

}  // namespace setup

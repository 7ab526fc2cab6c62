// CSetupDlg: Setup's main window (dialog 102). It shows the model this
// build installs; OK starts the installation flow (SetupFlow).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "setup/ui/resource.h"
#include "setup/ui/setup_dialog_win.h"
#include "setup/ui/setup_flow.h"

namespace setup {

class CSetupDlg : public CSetupDialog<ISetupDlgWindow> {
public:
    enum { IDD = IDD_SETUP_DIALOG };

    CSetupDlg();

    // ISetupDlgWindow
    void EnableOk(bool enable) override;
    void CopyDriverFiles() override;
    void RunPrinterConnection() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* dx) override;
    void OnOK() override { m_flow.OnOk(); }
    void OnCancel() override { m_flow.OnCancel(); }
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnTabSelChange(WPARAM, LPARAM);
    LRESULT OnListClick(WPARAM, LPARAM);

    framework::CWnd m_tab;               // control 1000
    framework::CWnd m_list;              // control 1001
    HIMAGELIST m_hImageList = nullptr;   // the model picture; the list view destroys it with itself
    framework::CWnd m_version;           // control 1009
    HICON m_hIcon;
    SetupFlow m_flow{*this};
};

}  // namespace setup

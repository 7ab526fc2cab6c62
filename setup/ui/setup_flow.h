// The logic of Setup's main dialog (CSetupDlg, setup_dlg_win.h): the OK
// button follows clicks in the model list, OK runs the installation flow,
// Cancel asks before it quits.
#pragma once

#include "setup/ui/setup_dialogs.h"

namespace setup {

class ISetupDlgWindow : public IDialogWindow {
public:
    virtual void EnableOk(bool enable) = 0;
    // CFileCopy's CopyDriverFiles on an object whose window is not created.
    virtual void CopyDriverFiles() = 0;
    // The connection wait (CPrinterConnection, dialog 108) run modally.
    virtual void RunPrinterConnection() = 0;
};

class SetupFlow {
public:
    explicit SetupFlow(ISetupDlgWindow& window) : m_window(window) {}

    // NM_CLICK in the model list; `item` is -1 for empty space, which
    // leaves OK disabled until the model is clicked again.
    void OnListClick(int item);
    // OK and Enter: the driver files are copied, the dialog hides for good,
    // the connection wait runs (the port dialogs install and report), and
    // the dialog ends with IDOK whatever came of it.
    void OnOk();
    void OnCancel() { ConfirmExit(m_window); }

private:
    ISetupDlgWindow& m_window;
};

}  // namespace setup

// CPrinterConnection: the USB connection wait (dialog 108). It listens for
// USB device arrivals while it is open; the logic is ConnectionWait.
#pragma once

#include <windows.h>

#include "setup/ui/connection_wait.h"
#include "setup/ui/resource.h"
#include "setup/ui/setup_dialog_win.h"

namespace setup {

class CPrinterConnection : public CInstallingDialog<IConnectionWindow> {
public:
    enum { IDD = IDD_PRINTER_CONNECTION };

    CPrinterConnection();
    ~CPrinterConnection() override;

    // IConnectionWindow
    void StopDeviceNotices() override;
    void RunPortSelection() override;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override { m_wait.OnCancel(); }
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnManual(WPARAM, LPARAM);
    LRESULT OnCancelButton(WPARAM, LPARAM);
    LRESULT OnDeviceChange(WPARAM, LPARAM);

    HDEVNOTIFY m_hDevNotify = nullptr;
    ConnectionWait m_wait;
};

}  // namespace setup

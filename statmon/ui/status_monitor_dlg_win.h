// The status monitor's only window: hidden at start, popped up by errors
// and by the tray icon, ended only by Exit.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/dialog.h"
#include "statmon/ui/sys_tray_win.h"
#include "statmon/printer/parallel_port.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/printer/usb_presence.h"
#include "statmon/ui/display_mailbox.h"
#include "statmon/ui/status_events.h"
#include "statmon/ui/tick_worker.h"
#include "statmon/ui/watch_loop.h"

// What the monitoring on the tick worker uses. Shared with the worker's
// thread, so that a worker left hanging in a spooler call at Exit never
// touches freed objects while the process ends.
struct MonitorContext {
    std::unique_ptr<statmon::ISpooler> spooler;
    std::unique_ptr<common::IRegistryReader> registry;
    std::unique_ptr<statmon::IParallelPort> parallelPort;
    std::unique_ptr<statmon::IDeviceInterfaces> usbDevices;
    std::unique_ptr<statmon::IEventLog> eventLog;
    std::unique_ptr<statmon::DisplayMailbox> mailbox;
    std::unique_ptr<statmon::WatchLoop> loop;
};

class CStatusMonitorDlg : public framework::CDialog {
public:
    CStatusMonitorDlg();
    ~CStatusMonitorDlg() override;

    void SetTitle(const std::string& title);
    void ShowPicture(statmon::Picture picture);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(framework::CDataExchange* dx) override;
    void OnCancel() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnTrayShow(WPARAM, LPARAM);
    LRESULT OnRestartMonitor(WPARAM, LPARAM);
    LRESULT OnTrayExit(WPARAM, LPARAM);
    LRESULT OnOkButton(WPARAM, LPARAM);
    LRESULT OnStatusTick(WPARAM, LPARAM);
    LRESULT OnDeviceChange(WPARAM, LPARAM);
    LRESULT OnPowerBroadcast(WPARAM, LPARAM);
    LRESULT OnSessionChange(WPARAM, LPARAM);
    LRESULT OnCtlColorStatic(WPARAM, LPARAM);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM);

    void StartTickWorker();

    std::string m_strMessage;
    framework::CWnd m_picture;   // control 1002
    HDEVNOTIFY m_hDevNotify = nullptr;
    bool m_bSessionNotices = false;
    framework::CWnd m_tip;       // control 1008
    framework::CWnd m_title;     // control 1004
    HICON m_hIcon = nullptr;
    HFONT m_hTitleFont = nullptr;
    bool m_bAllowShow = false;
    framework::CWnd m_version;   // control 1010
    CSysTray m_tray;

    // The platform the monitoring runs on, and the monitoring itself.
    std::shared_ptr<MonitorContext> m_context;
    statmon::TickWorker m_worker;
};

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
#include "statmon/ui/monitor.h"
#include "statmon/ui/status_window.h"
#include "statmon/ui/tick_worker.h"

class CStatusMonitorDlg : public framework::CDialog, public statmon::IStatusWindow {
public:
    CStatusMonitorDlg();
    ~CStatusMonitorDlg() override;

    // IStatusWindow
    void ReadControls() override { UpdateData(TRUE); }
    void WriteControls() override { UpdateData(FALSE); }
    std::string& Message() override { return m_strMessage; }
    void SetTitle(const std::string& title) override;
    void ShowPicture(statmon::Picture picture) override;
    void Show() override;
    void Hide() override;
    bool AllowShow() const override { return m_bAllowShow; }
    void SetAllowShow(bool allow) override { m_bAllowShow = allow; }
    void Restart() override { OnRestartMonitor(0, 0); }
    unsigned ArmPortTimer() override;
    bool KillPortTimer(unsigned timerId) override;

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
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnCtlColorStatic(WPARAM, LPARAM);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM);

    void StartTickWorker();

    std::string m_strMessage;
    framework::CWnd m_picture;   // control 1002
    HDEVNOTIFY m_hDevNotify = nullptr;
    framework::CWnd m_tip;       // control 1008
    framework::CWnd m_title;     // control 1004
    HICON m_hIcon = nullptr;
    HFONT m_hTitleFont = nullptr;
    bool m_bAllowShow = false;
    framework::CWnd m_version;   // control 1010
    CSysTray m_tray;

    // The platform the monitoring runs on, and the monitoring itself.
    std::unique_ptr<statmon::ISpooler> m_spooler;
    std::unique_ptr<common::IRegistryReader> m_registry;
    std::unique_ptr<statmon::IParallelPort> m_parallelPort;
    statmon::Monitor m_monitor;

    statmon::TickWorker m_worker;
};

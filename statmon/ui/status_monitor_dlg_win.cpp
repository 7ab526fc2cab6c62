#include "statmon/ui/status_monitor_dlg_win.h"

#include <wtsapi32.h>

#include "catalogue/model_catalogue.h"
#include "common/device_notice_win.h"
#include "statmon/ui/event_log_win.h"
#include "statmon/ui/commands.h"
#include "statmon/ui/pictures_win.h"
#include "statmon/ui/resource.h"
#include "statmon/ui/tips.h"

namespace {

// WM_POWERBROADCAST's resume events and WM_WTSSESSION_CHANGE's unlock.
constexpr WPARAM kPbtApmResumeSuspend = 0x7;
constexpr WPARAM kPbtApmResumeAutomatic = 0x12;
constexpr WPARAM kWtsSessionUnlock = 0x8;
constexpr UINT kWmWtsSessionChange = 0x02B1;

}  // namespace

CStatusMonitorDlg::CStatusMonitorDlg()
    : CDialog(IDD_STATUS_MONITOR),
      m_strMessage("Searching the printer..."),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))) {}

CStatusMonitorDlg::~CStatusMonitorDlg() {
    m_worker.Stop(statmon::TickWorker::kGiveUpAfter);
    if (m_hTitleFont) ::DeleteObject(m_hTitleFont);
}

const framework::MessageMap* CStatusMonitorDlg::GetMessageMap() const {
    using T = CStatusMonitorDlg;
    using namespace framework;
    static const MessageMapEntry entries[] = {
        OnMessage(WM_PAINT, &T::OnPaint),
        OnMessage(WM_QUERYDRAGICON, &T::OnQueryDragIcon),
        OnCommand(statmon::ID_TRAY_SHOW, &T::OnTrayShow),
        OnCommand(statmon::ID_RESTART_MONITOR, &T::OnRestartMonitor),
        OnCommand(statmon::ID_TRAY_EXIT, &T::OnTrayExit),
        OnCommand(IDC_OK_BUTTON, &T::OnOkButton),
        OnMessage(statmon::WM_STATUS_TICK, &T::OnStatusTick),
        OnMessage(WM_DEVICECHANGE, &T::OnDeviceChange),
        OnMessage(WM_POWERBROADCAST, &T::OnPowerBroadcast),
        OnMessage(kWmWtsSessionChange, &T::OnSessionChange),
        OnMessage(WM_CTLCOLORSTATIC, &T::OnCtlColorStatic),
        OnMessage(WM_WINDOWPOSCHANGING, &T::OnWindowPosChanging),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries,
                                sizeof(entries) / sizeof(entries[0])};
    return &map;
}

void CStatusMonitorDlg::DoDataExchange(framework::CDataExchange* dx) {
    framework::DDX_Control(dx, IDC_STATUS_PICTURE, m_picture);
    framework::DDX_Control(dx, IDC_STATUS_TITLE, m_title);
    framework::DDX_Text(dx, IDC_STATUS_MESSAGE, m_strMessage);
    framework::DDX_Control(dx, IDC_TIP, m_tip);
    framework::DDX_Control(dx, IDC_VERSION, m_version);
}

BOOL CStatusMonitorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Title font: 14 point Arial.
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(140, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    m_hTitleFont = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, "Arial");
    m_title.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hTitleFont), TRUE);

    m_tray.Create(m_hWnd, statmon::WM_TRAY_NOTIFY, "KLR-N Status Monitor Utility",
                  CSysTray::LoadTrayIcon());

    // Notices first, then the scan (on the worker's first tick): a printer
    // switched on in between is not missed.
    m_hDevNotify = common::RegisterUsbDeviceNotices(m_hWnd);
    m_bSessionNotices = ::WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;

    HWND window = m_hWnd;
    auto context = std::make_shared<MonitorContext>();
    context->spooler = statmon::CreateSpooler();
    context->registry = common::CreateRegistry();
    context->parallelPort = statmon::CreateParallelPort();
    context->usbDevices = statmon::CreateDeviceInterfaces();
    context->eventLog = statmon::CreateEventLog();
    context->mailbox = std::make_unique<statmon::DisplayMailbox>(
        [window] { ::PostMessageA(window, statmon::WM_STATUS_TICK, 0, 0); });
    context->loop = std::make_unique<statmon::WatchLoop>(*context->mailbox, *context->spooler,
                                                         *context->registry, *context->parallelPort,
                                                         *context->usbDevices);
    context->loop->GetMonitor().SetEventLog(context->eventLog.get());
    m_context = context;
    StartTickWorker();

    const auto model = catalogue::Target();
    SetWindowText(std::string(model.DisplayName) + statmon::kStatusCaptionSuffix);
    m_version.SetWindowText(catalogue::StatmonVersionText);
    m_tip.SetWindowText(statmon::NextTip());

    // Stays hidden: the show-permission hook strips this show and the
    // framework's first show of the dialog.
    m_bAllowShow = false;
    ShowWindow(SW_SHOWMAXIMIZED);
    return TRUE;
}

void CStatusMonitorDlg::StartTickWorker() {
    std::shared_ptr<MonitorContext> context = m_context;
    m_worker.Start([context] { context->loop->Tick(); });
    statmon::TickWorker* worker = &m_worker;
    context->loop->SetWake([worker] { worker->Wake(); });
}

void CStatusMonitorDlg::SetTitle(const std::string& title) { m_title.SetWindowText(title); }

void CStatusMonitorDlg::ShowPicture(statmon::Picture picture) {
    statmon::ShowPicture(m_hWnd, statmon::LoadPicture(picture));
}

LRESULT CStatusMonitorDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) return Default();
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CStatusMonitorDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

LRESULT CStatusMonitorDlg::OnTrayShow(WPARAM, LPARAM) {
    m_bAllowShow = true;
    m_tip.SetWindowText(statmon::NextTipForShow());
    ShowWindow(SW_RESTORE);
    if (m_context) m_context->loop->RequestShow();  // Searching, then the restart
    return 0;
}

LRESULT CStatusMonitorDlg::OnRestartMonitor(WPARAM, LPARAM) {
    if (m_context) m_context->loop->RequestRestart();
    return 0;
}

LRESULT CStatusMonitorDlg::OnTrayExit(WPARAM, LPARAM) {
    // A worker that hangs in a spooler call is left to end with the process.
    const bool ended = m_worker.Stop(statmon::TickWorker::kGiveUpAfter);
    m_tray.Sweep();
    m_tray.Remove();
    if (m_hDevNotify) {
        ::UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
    if (m_bSessionNotices) {
        ::WTSUnRegisterSessionNotification(m_hWnd);
        m_bSessionNotices = false;
    }
    if (ended && m_context) m_context->parallelPort->ClosePortDriver();
    OnOK();
    return 0;
}

LRESULT CStatusMonitorDlg::OnOkButton(WPARAM, LPARAM) {
    ShowWindow(SW_HIDE);
    return 0;
}

void CStatusMonitorDlg::OnCancel() { ShowWindow(SW_HIDE); }

LRESULT CStatusMonitorDlg::OnStatusTick(WPARAM, LPARAM) {
    if (!m_context) return 0;
    const statmon::DisplayChanges changes = m_context->mailbox->Take();
    if (changes.message) {
        m_strMessage = *changes.message;
        UpdateData(FALSE);
    }
    if (changes.title) SetTitle(*changes.title);
    if (changes.picture) ShowPicture(*changes.picture);
    if (changes.allowShow) m_bAllowShow = *changes.allowShow;
    switch (changes.visibility) {
    case statmon::DisplayChanges::Visibility::Show: ShowWindow(SW_RESTORE); break;
    case statmon::DisplayChanges::Visibility::Hide: ShowWindow(SW_HIDE); break;
    case statmon::DisplayChanges::Visibility::Keep: break;
    }
    return 0;
}

LRESULT CStatusMonitorDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    const common::DeviceNotice notice = common::DecodeDeviceNotice(wParam, lParam);
    if (m_context && notice.hasRecord) m_context->loop->PostNotice(notice);
    return 0;
}

LRESULT CStatusMonitorDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if ((wParam == kPbtApmResumeAutomatic || wParam == kPbtApmResumeSuspend) && m_context)
        m_context->loop->RequestResume();
    return TRUE;
}

LRESULT CStatusMonitorDlg::OnSessionChange(WPARAM wParam, LPARAM) {
    if (wParam == kWtsSessionUnlock && m_context) m_context->loop->RequestResume();
    return 0;
}

LRESULT CStatusMonitorDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    LRESULT brush = Default();
    if (reinterpret_cast<HWND>(lParam) == m_title.m_hWnd) {
        std::string title = m_title.GetWindowText();
        bool good = title == "Ready" || title == "Printing";
        ::SetTextColor(reinterpret_cast<HDC>(wParam), good ? RGB(0, 0, 255) : RGB(172, 168, 153));
    }
    return brush;
}

LRESULT CStatusMonitorDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!m_bAllowShow) pos->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return Default();
}

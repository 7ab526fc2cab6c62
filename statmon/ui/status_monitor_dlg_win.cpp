#include "statmon/ui/status_monitor_dlg_win.h"

#include <dbt.h>

#include "catalogue/model_catalogue.h"
#include "statmon/ui/commands.h"
#include "statmon/ui/pictures_win.h"
#include "statmon/ui/resource.h"
#include "statmon/ui/tips.h"

namespace {

// GUID_DEVINTERFACE_USB_DEVICE
const GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2,
                                  {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

#if !defined(_WIN64)
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32, "notification filter is 32 bytes");
#endif

constexpr UINT_PTR kPortTimerId = 1;
constexpr UINT kPortTimerPeriod = 1000;

}  // namespace

CStatusMonitorDlg::CStatusMonitorDlg()
    : CDialog(IDD_STATUS_MONITOR),
      m_strMessage("Searching the printer..."),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))),
      m_spooler(statmon::CreateSpooler()),
      m_registry(common::CreateRegistry()),
      m_parallelPort(statmon::CreateParallelPort()),
      m_monitor(*this, *m_spooler, *m_registry, *m_parallelPort) {}

CStatusMonitorDlg::~CStatusMonitorDlg() {
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
        OnMessage(WM_TIMER, &T::OnTimer),
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

    m_monitor.ResetPortState();
    m_tray.Create(m_hWnd, statmon::WM_TRAY_NOTIFY, "KLR-N Status Monitor Utility",
                  CSysTray::LoadTrayIcon());

    if (m_monitor.OpenModelPrinter()) StartTickWorker();
    m_monitor.SetUsbPresent(false);

    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    m_hDevNotify = ::RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);

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
    HWND window = m_hWnd;
    m_worker.Start([window] { ::PostMessageA(window, statmon::WM_STATUS_TICK, 0, 0); });
}

void CStatusMonitorDlg::SetTitle(const std::string& title) { m_title.SetWindowText(title); }

void CStatusMonitorDlg::ShowPicture(statmon::Picture picture) {
    statmon::ShowPicture(m_hWnd, statmon::LoadPicture(picture));
}

void CStatusMonitorDlg::Show() {
    m_bAllowShow = true;
    ShowWindow(SW_RESTORE);
}

void CStatusMonitorDlg::Hide() { ShowWindow(SW_HIDE); }

unsigned CStatusMonitorDlg::ArmPortTimer() {
    return static_cast<unsigned>(::SetTimer(m_hWnd, kPortTimerId, kPortTimerPeriod, nullptr));
}

bool CStatusMonitorDlg::KillPortTimer(unsigned timerId) {
    return ::KillTimer(m_hWnd, timerId) != FALSE;
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
    m_monitor.BeginSearching();
    m_tip.SetWindowText(statmon::NextTipForShow());
    ShowWindow(SW_RESTORE);
    OnRestartMonitor(0, 0);
    return 0;
}

LRESULT CStatusMonitorDlg::OnRestartMonitor(WPARAM, LPARAM) {
    UpdateData(TRUE);
    m_worker.Stop();
    if (!m_monitor.OpenModelPrinter()) return 0;  // no ticks until the next show
    StartTickWorker();
    return 0;
}

LRESULT CStatusMonitorDlg::OnTrayExit(WPARAM, LPARAM) {
    // The worker is stopped (and has ended) before what it uses is freed.
    m_worker.Stop();
    m_tray.Sweep();
    m_tray.Remove();
    if (m_hDevNotify) {
        ::UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
    m_parallelPort->ClosePortDriver();
    OnOK();
    return 0;
}

LRESULT CStatusMonitorDlg::OnOkButton(WPARAM, LPARAM) {
    ShowWindow(SW_HIDE);
    return 0;
}

void CStatusMonitorDlg::OnCancel() { ShowWindow(SW_HIDE); }

LRESULT CStatusMonitorDlg::OnStatusTick(WPARAM, LPARAM) {
    m_monitor.OnStatusTick();
    return 0;
}

LRESULT CStatusMonitorDlg::OnTimer(WPARAM, LPARAM) {
    m_monitor.OnPortTimer();
    return Default();
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

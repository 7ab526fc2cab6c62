#include "setup/ui/setup_dlg_win.h"

#include "catalogue/model_catalogue.h"
#include "setup/ui/printer_connection_win.h"

namespace setup {

using namespace installation;

namespace {
constexpr COLORREF kMaskWhite = RGB(255, 255, 255);
constexpr int kImageGrowth = 32;
constexpr int kIconSpacingX = 350;
const char kModelTab[] = "Printer Model";
}  // namespace

CSetupDlg::CSetupDlg()
    : CSetupDialog(IDD), m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP))) {}

const framework::MessageMap* CSetupDlg::GetMessageMap() const {
    using T = CSetupDlg;
    using namespace framework;
    static const MessageMapEntry entries[] = {
        OnMessage(WM_PAINT, &T::OnPaint),
        OnMessage(WM_QUERYDRAGICON, &T::OnQueryDragIcon),
        OnNotify(IDC_MODEL_TAB, static_cast<UINT>(TCN_SELCHANGE), &T::OnTabSelChange),
        OnNotify(IDC_MODEL_LIST, static_cast<UINT>(NM_CLICK), &T::OnListClick),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries, sizeof(entries) / sizeof(entries[0])};
    return &map;
}

void CSetupDlg::DoDataExchange(framework::CDataExchange* dx) {
    framework::DDX_Control(dx, IDC_MODEL_TAB, m_tab);
    framework::DDX_Control(dx, IDC_MODEL_LIST, m_list);
    framework::DDX_Control(dx, IDC_VERSION, m_version);
}

BOOL CSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<LPSTR>(kModelTab);  // only read
    m_tab.SendMessage(TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));

    // Width 0: the picture's height, so the 96 x 96 bitmap gives one image.
    m_hImageList = ::ImageList_LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_MODEL), 0,
                                          kImageGrowth, kMaskWhite, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    m_list.SendMessage(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_hImageList));

    std::string name = catalogue::Target().DisplayName;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 0;
    item.pszText = &name[0];
    item.iImage = 0;
    m_list.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    // In the large-icon view the count per page is the number of items:
    // the model item is selected and focused.
    const int last = static_cast<int>(m_list.SendMessage(LVM_GETCOUNTPERPAGE)) - 1;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    m_list.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&state));
    m_list.SendMessage(LVM_SETICONSPACING, 0, MAKELPARAM(kIconSpacingX, 0));

    m_version.SetWindowText(catalogue::SetupVersionText);
    ::SetFocus(m_list.m_hWnd);
    return TRUE;
}

LRESULT CSetupDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) return Default();
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CSetupDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CSetupDlg::OnTabSelChange(WPARAM, LPARAM) { return 0; }

LRESULT CSetupDlg::OnListClick(WPARAM, LPARAM lParam) {
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
    m_flow.OnListClick(click->iItem);
    return 0;
}

void CSetupDlg::EnableOk(bool enable) { ::EnableWindow(GetDlgItem(IDOK), enable ? TRUE : FALSE); }

void CSetupDlg::CopyDriverFiles() {
    CFileCopy copy;  // its window is not created
    copy.CopyDriverFiles();
}

void CSetupDlg::RunPrinterConnection() {
    CPrinterConnection connection;
    connection.DoModal();
}

}  // namespace setup

#include "framework/dialog.h"

#include "framework/app.h"

namespace framework {

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx->m_bSaveAndValidate)
        value = dx->m_dialog.GetDlgItemText(id);
    else
        dx->m_dialog.SetDlgItemText(id, value);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.Attach(dx->m_dialog.GetDlgItem(id));
}

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnCommand(IDOK, &CDialog::OnOKCommand),
        OnCommand(IDCANCEL, &CDialog::OnCancelCommand),
    };
    static const MessageMap map{nullptr, entries, sizeof(entries) / sizeof(entries[0])};
    return &map;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nTemplateId = templateId;
    m_pParent = parent;
    m_bModal = false;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParent ? m_pParent->m_hWnd : nullptr;
    m_bModal = true;
    m_bEnded = false;
    m_nResult = -1;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nTemplateId),
                                     owner, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) return -1;
    bool ownerDisabled = owner && ::IsWindowEnabled(owner) && ::EnableWindow(owner, FALSE) == 0;
    if (!m_bEnded) ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (!m_bEnded) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Nothing posted. Sent messages were handled inside the peek, and
            // one of them may have ended the dialog (then perhaps run message
            // boxes whose loops took whatever was posted meanwhile): look
            // again before sleeping until the next message comes.
            if (m_bEnded) break;
            ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (msg.message == WM_QUIT) {  // end the modal run, keep the quit for the caller
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        CWnd* target = root ? CWnd::FromHandle(root) : nullptr;
        if (target && target->PreTranslateMessage(&msg)) continue;
        if (root && ::IsDialogMessageA(root, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    DestroyOwnWindow();
    m_bModal = false;
    return m_nResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
    if (!m_bModal) DestroyOwnWindow();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* /*msg*/) { return FALSE; }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::OnOKCommand(WPARAM, LPARAM) {
    OnOK();
    return 0;
}

LRESULT CDialog::OnCancelCommand(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Register(hwnd);
        return dialog->OnInitDialog();
    }
    CWnd* wnd = CWnd::FromHandle(hwnd);
    if (!wnd) return FALSE;
    auto* dialog = static_cast<CDialog*>(wnd);
    LRESULT result = 0;
    bool handled = dialog->Dispatch(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) dialog->Unregister();
    if (!handled) return FALSE;
    switch (message) {
        // These messages answer through the dialog procedure's return value.
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

}  // namespace framework

// Dialogs from .rc templates: modal with our own message loop (so that a
// dialog can filter keys before dialog processing), or modeless.
#pragma once

#include "framework/wnd.h"

namespace framework {

class CDialog;

// Text data exchange between members and dialog controls.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog& m_dialog;
    bool m_bSaveAndValidate;  // true: controls to members
};

void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Binds the control to a window object.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nTemplateId(templateId), m_pParent(parent) {}

    // Runs the dialog until EndDialog; answers EndDialog's result (-1 when
    // the dialog could not be created).
    INT_PTR DoModal();
    // Creates the dialog modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(INT_PTR result);

    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* /*dx*/) {}
    virtual void OnOK();
    virtual void OnCancel();

    const MessageMap* GetMessageMap() const override;

private:
    LRESULT OnOKCommand(WPARAM, LPARAM);
    LRESULT OnCancelCommand(WPARAM, LPARAM);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId;
    CWnd* m_pParent;
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
};

}  // namespace framework

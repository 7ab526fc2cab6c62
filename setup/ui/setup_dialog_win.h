// The framework dialog each dialog of Setup's flow is built on: Escape is
// consumed before dialog processing, message boxes are owned by the dialog,
// and the port dialogs show the please-wait window while the installer runs.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/dialog.h"
#include "setup/install/installer_win.h"
#include "setup/ui/file_copy_win.h"
#include "setup/ui/setup_dialogs.h"

namespace setup {

template <class Window>
class CSetupDialog : public framework::CDialog, public Window {
public:
    explicit CSetupDialog(UINT templateId) : CDialog(templateId) {}

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

    // IDialogWindow
    int Ask(const char* text, const char* caption, std::uint32_t type) override {
        return ::MessageBoxA(m_hWnd, text, caption, type);
    }
    void End(int result) override {
        if (result == IDOK)
            CDialog::OnOK();
        else
            EndDialog(result);
    }
    void Hide() override { ShowWindow(SW_HIDE); }
};

template <class Window>
class CInstallingDialog : public CSetupDialog<Window> {
public:
    explicit CInstallingDialog(UINT templateId) : CSetupDialog<Window>(templateId) {}

    // IInstallingWindow
    void ShowPleaseWait() override {
        m_pleaseWait = std::make_unique<CFileCopy>();
        if (!m_pleaseWait->Create(CFileCopy::IDD)) return;
        m_pleaseWait->ShowWindow(SW_SHOW);
        ::UpdateWindow(m_pleaseWait->m_hWnd);  // painted once: the installation processes no messages
    }
    void HidePleaseWait() override {
        if (m_pleaseWait) m_pleaseWait->ShowWindow(SW_HIDE);
    }
    void DiscardPleaseWait() override { m_pleaseWait.reset(); }
    std::unique_ptr<CInstallerCore> CreateInstaller() override { return std::make_unique<CInstaller>(); }

private:
    std::unique_ptr<CFileCopy> m_pleaseWait;
};

}  // namespace setup

// The status monitor's icon in the notification area, its popup menu and the
// hidden window that receives the icon's callbacks.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/wnd.h"
#include "statmon/ui/tray_logic.h"

class CSysTray : public framework::CWnd {
public:
    CSysTray();
    ~CSysTray() override;

    // Creates the hidden callback window, the popup menu and the icon.
    // `statusWindow` is the status window (the application's main window):
    // it is brought to the front on clicks, owns the tracked menu (so the
    // chosen command reaches it as WM_COMMAND) and receives ID_TRAY_SHOW on
    // a double click. `callbackMessage` is the message the shell sends the
    // hidden window (WM_TRAY_NOTIFY); `tip` is cut to 63 characters. Returns
    // 0; whether the shell took the icon is told by IconAdded(). Until
    // Remove, the icon is added again every two seconds while the shell has
    // not taken it, and whenever the shell broadcasts
    // "TaskbarCreated"; in an elevated process that message and the
    // callback message are let through to the hidden window from the
    // shell's lower integrity level.
    int Create(HWND statusWindow, UINT callbackMessage, const char* tip, HICON icon);

    // Deletes the icon from the notification area (NIM_DELETE).
    void Remove();

    // Moves the mouse over the taskbar's notification toolbar so that the
    // shell drops icons whose owner window no longer exists.
    void Sweep();

    // Icon 1010 of the program at the small icon size.
    static HICON LoadTrayIcon();

    // For checks: the result of NIM_ADD, the menu and the notification record.
    BOOL IconAdded() const { return m_keeper.Added() ? TRUE : FALSE; }
    HMENU Menu() const { return m_hMenu; }
    const NOTIFYICONDATAA& NotifyData() const { return m_nid; }

protected:
    const framework::MessageMap* GetMessageMap() const override { return &m_map; }

private:
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnRetryTimer(WPARAM wParam, LPARAM lParam);
    // Adds the icon again on a short timer until the shell has taken it.
    void RetryUntilAdded();
    void OpenMenu();

    // The icon's record handed to the shell.
    class Shell : public statmon::ITrayShell {
    public:
        explicit Shell(const NOTIFYICONDATAA& nid) : m_nid(nid) {}
        bool AddIcon() override;
        bool ModifyIcon() override;
        bool DeleteIcon() override;

    private:
        const NOTIFYICONDATAA& m_nid;
    };

    HWND m_hStatusWnd = nullptr;
    HMENU m_hMenu = nullptr;
    NOTIFYICONDATAA m_nid{};
    Shell m_shell{m_nid};
    statmon::TrayIconKeeper m_keeper{m_shell};

    // The callback message is chosen at Create and the shell's message is
    // registered there, so the map is the object's own.
    framework::MessageMapEntry m_entries[3]{};
    framework::MessageMap m_map{nullptr, m_entries, 0};
};

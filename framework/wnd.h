// Windows and message maps of our small window framework.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace framework {

class CWnd;

// Every handler has one shape: it gets the message's parameters and answers
// the message's result.
using MessageHandler = LRESULT (CWnd::*)(WPARAM, LPARAM);

// One row of a message map. For WM_COMMAND rows `id` and `code` are the
// control or command id and the notification code (0 for menu commands and
// button clicks); for WM_NOTIFY rows the sender's id and the notification
// code; other rows match on the message alone.
struct MessageMapEntry {
    UINT message;
    UINT id;
    UINT code;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    std::size_t count;
};

template <class T>
MessageMapEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, static_cast<MessageHandler>(handler)};
}

template <class T>
MessageMapEntry OnCommand(UINT id, LRESULT (T::*handler)(WPARAM, LPARAM), UINT code = 0) {
    return {WM_COMMAND, id, code, static_cast<MessageHandler>(handler)};
}

template <class T>
MessageMapEntry OnNotify(UINT id, UINT code, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    return {WM_NOTIFY, id, code, static_cast<MessageHandler>(handler)};
}

// A window owned by an object. Messages reach the object's message map;
// what no row handles gets the window's default processing.
class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;

    // Creates a plain window of the framework's window class.
    BOOL CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                  int height, HWND parent);
    BOOL DestroyWindow();

    // Binds an existing window (a dialog control) to this object without
    // taking over its messages.
    void Attach(HWND hwnd) { m_hWnd = hwnd; }

    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const std::string& text) const {
        ::SetDlgItemTextA(m_hWnd, id, text.c_str());
    }
    std::string GetDlgItemText(int id) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // Called by the modal loop before a message is dispatched; true means
    // the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The object that owns a window, if any.
    static CWnd* FromHandle(HWND hwnd);

protected:
    virtual const MessageMap* GetMessageMap() const { return nullptr; }

    // Looks the message up in the maps, most derived first.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Default processing of the message being handled.
    LRESULT Default();

    // Registers this object as the owner of a window handle.
    void Register(HWND hwnd);
    void Unregister();
    // Destroys this object's window after letting go of it, so that no
    // message of the destruction reaches the object.
    void DestroyOwnWindow();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace framework

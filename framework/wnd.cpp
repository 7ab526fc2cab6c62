#include "framework/wnd.h"

#include <unordered_map>

namespace framework {
namespace {

constexpr const char* kWindowClass = "KlrnFrameworkWindow";

// Window handles and the objects that own them; touched only on the
// user-interface thread.
std::unordered_map<HWND, CWnd*>& Owners() {
    static std::unordered_map<HWND, CWnd*> owners;
    return owners;
}

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd && FromHandle(m_hWnd) == this) DestroyOwnWindow();
}

void CWnd::DestroyOwnWindow() {
    HWND hwnd = m_hWnd;
    Unregister();
    if (hwnd) ::DestroyWindow(hwnd);
}

void CWnd::Register(HWND hwnd) {
    m_hWnd = hwnd;
    Owners()[hwnd] = this;
}

void CWnd::Unregister() {
    if (m_hWnd) Owners().erase(m_hWnd);
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    auto it = Owners().find(hwnd);
    return it == Owners().end() ? nullptr : it->second;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!::GetClassInfoA(instance, kWindowClass, &wc)) {
        wc.lpfnWndProc = &CWnd::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        if (!::RegisterClassA(&wc)) return FALSE;
    }
    HWND hwnd = ::CreateWindowExA(exStyle, kWindowClass, title, style, x, y, width, height, parent,
                                  nullptr, instance, this);
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    int length = ::GetWindowTextLengthA(item);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    UINT copied = ::GetDlgItemTextA(m_hWnd, id, &text[0], length + 1);
    text.resize(copied);
    return text;
}

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) { return FALSE; }

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT id = 0;
    UINT code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY && lParam) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message != message) continue;
            if ((message == WM_COMMAND || message == WM_NOTIFY) &&
                (entry.id != id || entry.code != code))
                continue;
            CurrentMessage saved = m_current;
            m_current = {message, wParam, lParam};
            result = (this->*entry.handler)(wParam, lParam);
            m_current = saved;
            return true;
        }
    }
    return false;
}

LRESULT CWnd::Default() {
    // For dialogs too: the dialog manager's default for the messages our
    // dialogs pass on (painting, colours, position changes) is the window's.
    return ::DefWindowProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        static_cast<CWnd*>(create->lpCreateParams)->Register(hwnd);
    }
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (!wnd->Dispatch(message, wParam, lParam, result))
        result = ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) wnd->Unregister();
    return result;
}

}  // namespace framework

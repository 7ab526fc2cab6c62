#include "statmon/ui/pictures_win.h"

#include "statmon/ui/resource.h"

namespace statmon {

namespace {
constexpr DWORD kCursorFormatVersion = 0x00030000;
}

HCURSOR LoadPicture(int resourceId) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), "ANICURSORS");
    if (!info) return nullptr;
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded || size == 0) return nullptr;
    auto* bytes = static_cast<PBYTE>(::LockResource(loaded));
    if (!bytes) return nullptr;
    return ::CreateIconFromResource(bytes, size, FALSE, kCursorFormatVersion);
}

HCURSOR LoadPicture(Picture picture) {
    if (picture == Picture::None) return nullptr;
    return LoadPicture(static_cast<int>(picture));
}

void ShowPicture(HWND dialog, HCURSOR picture) {
    LRESULT previous = ::SendDlgItemMessageA(dialog, IDC_STATUS_PICTURE, STM_SETIMAGE, IMAGE_CURSOR,
                                             reinterpret_cast<LPARAM>(picture));
    auto* old = reinterpret_cast<HCURSOR>(previous);
    if (old && old != picture) ::DestroyCursor(old);
}

}  // namespace statmon

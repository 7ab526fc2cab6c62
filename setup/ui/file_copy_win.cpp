#include "setup/ui/file_copy_win.h"

namespace setup {

using namespace installation;

CFileCopy::CFileCopy() : CDialog(IDD), CFileCopyCore(Win32Platform()) {}

CFileCopy::CFileCopy(const InstallerPlatform& platform) : CDialog(IDD), CFileCopyCore(platform) {}

BOOL CFileCopy::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

}  // namespace setup

// CInstaller: the driver installer as the port dialogs use it. Never
// created as a window: it owns the installer's message boxes (which have no
// owner window) and its wait cursor.
#pragma once

#include "framework/wnd.h"
#include "setup/install/installer.h"

namespace setup {

class CInstaller : public framework::CWnd, public CInstallerCore {
public:
    // On the running system.
    CInstaller() : CInstallerCore(installation::Win32Platform()) {}
    // On other system operations (tests).
    explicit CInstaller(const installation::InstallerPlatform& platform) : CInstallerCore(platform) {}
};

}  // namespace setup

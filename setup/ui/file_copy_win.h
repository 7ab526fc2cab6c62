// CFileCopy: Setup's please-wait window (dialog 130, modeless, no buttons,
// cannot be closed by the user) and the driver file copy.
#pragma once

#include "framework/dialog.h"
#include "setup/ui/file_copy.h"
#include "setup/ui/resource.h"

namespace setup {

class CFileCopy : public framework::CDialog, public CFileCopyCore {
public:
    enum { IDD = IDD_FILECOPY };

    // On the running system.
    CFileCopy();
    // On other system operations (tests).
    explicit CFileCopy(const installation::InstallerPlatform& platform);

    // Escape is consumed before dialog processing.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Enter does nothing; callers that invoke OK get no effect.
    void OnOK() override {}
    // Nothing the user does closes the window.
    void OnCancel() override {}
};

}  // namespace setup

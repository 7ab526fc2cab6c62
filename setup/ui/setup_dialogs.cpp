#include "setup/ui/setup_dialogs.h"

#include "setup/install/maker.h"

namespace setup {

void ConfirmExit(IDialogWindow& window) {
    if (window.Ask(kExitQuestion, kSetupCaption, kMbYesNo | kMbIconQuestion) == kIdYes) window.End(kIdCancel);
}

}  // namespace setup

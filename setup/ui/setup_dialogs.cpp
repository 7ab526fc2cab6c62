#include "setup/ui/setup_dialogs.h"

#include "installation/maker.h"

namespace setup {

using namespace installation;

void ConfirmExit(IDialogWindow& window) {
    if (window.Ask(kExitQuestion, kSetupCaption, kMbYesNo | kMbIconQuestion) == kIdYes) window.End(kIdCancel);
}

}  // namespace setup

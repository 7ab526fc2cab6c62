// What the dialogs of Setup's flow share: their logic talks to its own
// window through these interfaces, and Cancel and the close box of each ask
// the same exit question.
#pragma once

#include <cstdint>
#include <memory>

#include "setup/install/installer.h"

namespace setup {

constexpr const char* kExitQuestion =
    "Setup is not complete. If you quit now, the program will not be installed.\nExit Setup?";

// A dialog of Setup as its logic sees it.
class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;
    // A message box owned by the dialog; answers the button pressed.
    virtual int Ask(const char* text, const char* caption, std::uint32_t type) = 0;
    // Ends the modal run: kIdOk through the framework's accept (data
    // exchange from the controls first), any other result as it is.
    virtual void End(int result) = 0;
    virtual void Hide() = 0;
};

// A port dialog: it runs the installer under the please-wait window.
class IInstallingWindow : public IDialogWindow {
public:
    // The please-wait window (dialog 130): created modeless and shown,
    // hidden, discarded.
    virtual void ShowPleaseWait() = 0;
    virtual void HidePleaseWait() = 0;
    virtual void DiscardPleaseWait() = 0;
    // A new CInstaller.
    virtual std::unique_ptr<CInstallerCore> CreateInstaller() = 0;
};

// Cancel and the close box: the exit question (Yes/No, question icon);
// Yes ends the dialog with the cancel result, No changes nothing.
void ConfirmExit(IDialogWindow& window);

}  // namespace setup

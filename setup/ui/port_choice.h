// The logic of the manual port selection (CPortSelection,
// port_selection_win.h): the spooler's ports in its order, "LPT1:"
// proposed, the user's choice, and the installation on the chosen port.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "installation/platform.h"
#include "setup/ui/setup_dialogs.h"

namespace setup {

constexpr const char* kPortEnumerationErrorText = "Unexpected error 0x002C occured while port enumeration.";
constexpr const char* kProposedPort = "LPT1:";

// The bare name of the chosen port; empty until a port is chosen.
extern std::string SelectedPort;

// One port the spooler knows; a null text of its record is empty here.
struct PortEntry {
    std::string name;
    std::string description;
};

// EnumPortsA on the local machine at level 2, as values in the spooler's
// order. Nothing when the spooler cannot be asked or memory for its answer
// is lacking; no ports when the size query already succeeds.
std::optional<std::vector<PortEntry>> EnumeratePorts(const installation::InstallerPlatform& platform);

// "name (description)", as the list shows a port.
std::string PortDisplayText(const PortEntry& port);

class IPortSelectionWindow : public IInstallingWindow {
public:
    // LB_INSERTSTRING at `index`, with the entry's own copy of the bare
    // name as its item datum.
    virtual void InsertPort(int index, const std::string& text, const std::string& name) = 0;
    virtual void SelectPort(int index) = 0;            // LB_SETCURSEL
    virtual int SelectedPortIndex() = 0;               // LB_GETCURSEL; -1 for none
    virtual std::string PortText(int index) = 0;       // LB_GETTEXT
    virtual std::string PortName(int index) = 0;       // the entry's item datum
    // Data exchange into the controls: the current-port text to edit 1017.
    virtual void ShowCurrentPort() = 0;
};

class PortChoice {
public:
    // `selectedPort` is the program's SelectedPort.
    PortChoice(IPortSelectionWindow& window, const installation::InstallerPlatform& platform, std::string& selectedPort)
        : m_window(window), m_platform(platform), m_selectedPort(selectedPort) {}

    // After the framework's initialisation: the port list; when the
    // spooler gives none, the enumeration error and the exit question.
    void OnInitDialog();
    // The port enumeration: fills the list and proposes "LPT1:"; false when
    // the spooler cannot be asked or memory is lacking.
    bool FillPortList();
    // LBN_SELCHANGE: the chosen entry replaces the current port.
    void OnSelectionChange();
    // Button 1008 (and Enter): installs on SelectedPort under the
    // please-wait window, reports, ends with IDOK. Without a chosen port it
    // does nothing and the dialog stays.
    void OnOk();
    void OnCancel() { ConfirmExit(m_window); }

    // The full text of the chosen entry, shown in edit 1017.
    std::string m_strCurrentPort;

private:
    IPortSelectionWindow& m_window;
    const installation::InstallerPlatform& m_platform;
    std::string& m_selectedPort;
};

}  // namespace setup

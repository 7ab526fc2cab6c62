// The logic of Setup's dialogs against a recording window and system: the
// main dialog's flow, the USB connection wait (what arrives, the USB port
// lookup) and the manual port selection (the spooler's ports, the choice).
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "native/setup_fakes.h"
#include "setup/ui/connection_wait.h"
#include "setup/ui/port_choice.h"
#include "setup/ui/setup_flow.h"

namespace {

using namespace setup;
using namespace installation;
using setup_fakes::FakeSystem;
using Log = std::vector<std::string>;

const char kCaption[] = "KLRN Printer Driver - Setup";
const std::string kModelPath = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const std::string kParameters = std::string(kUsbPrintClassKey) + "\\" + UsbPrintInterfaceKey("VX7EMBER") +
                                "\\#\\Device Parameters";

// Every window of the flow at once; what the logic does to it is logged.
class FakeWindow : public ISetupDlgWindow, public IConnectionWindow, public IPortSelectionWindow {
public:
    explicit FakeWindow(const InstallerPlatform& platform) : m_platform(platform) {}
    Log log;
    std::deque<int> answers;  // of Ask, in turn; IDNO when none is left
    std::vector<std::pair<std::string, std::string>> list;  // text, item datum
    int selection = -1;

    int Ask(const char* text, const char*, std::uint32_t type) override {
        log.push_back("ask " + std::to_string(type) + ": " + text);
        const int answer = answers.empty() ? kIdNo : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void End(int result) override { log.push_back("end " + std::to_string(result)); }
    void Hide() override { log.push_back("hide"); }
    void EnableOk(bool enable) override { log.push_back(enable ? "enable" : "disable"); }
    void CopyDriverFiles() override { log.push_back("copy"); }
    void RunPrinterConnection() override { log.push_back("connection"); }
    void ShowPleaseWait() override { log.push_back("please-wait"); }
    void HidePleaseWait() override { log.push_back("please-wait hidden"); }
    void DiscardPleaseWait() override { log.push_back("please-wait gone"); }
    std::unique_ptr<CInstallerCore> CreateInstaller() override {
        log.push_back("installer");
        return std::make_unique<CInstallerCore>(m_platform);
    }
    void StopDeviceNotices() override { log.push_back("notices stopped"); }
    void RunPortSelection() override { log.push_back("port selection"); }
    void InsertPort(int index, const std::string& text, const std::string& name) override {
        list.insert(list.begin() + index, {text, name});
    }
    void SelectPort(int index) override { selection = index; }
    int SelectedPortIndex() override { return selection; }
    std::string PortText(int index) override { return list.at(static_cast<std::size_t>(index)).first; }
    std::string PortName(int index) override { return list.at(static_cast<std::size_t>(index)).second; }
    void ShowCurrentPort() override { log.push_back("current port shown"); }

private:
    const InstallerPlatform& m_platform;
};

class SetupDialogsTest : public ::testing::Test {
protected:
    // The keys above "Device Parameters", as the system's USB printing support leaves them.
    SetupDialogsTest() {
        sys.ports.insert("USB001");
        const std::string interfaceKey = std::string(kUsbPrintClassKey) + "\\" + UsbPrintInterfaceKey("VX7EMBER");
        for (const std::string& key : {std::string(kUsbPrintClassKey), interfaceKey, interfaceKey + "\\#"})
            sys.keys[{common::RegRoot::LocalMachine, key}];
    }
    void SetPortNumber(std::uint32_t type, const std::string& bytes) {
        sys.keys[{common::RegRoot::LocalMachine, kParameters}]["Port Number"] = {type, bytes, 0};
    }
    static std::string Dword(std::uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : sys.messages) texts.push_back(m.caption + "|" + m.text + "|" + std::to_string(m.type));
        return texts;
    }

    FakeSystem sys;
    InstallerPlatform platform{sys.Platform()};
    FakeWindow window{platform};
    ConnectionWait wait{window, platform, "Setup"};
    std::string selected;
    PortChoice choice{window, platform, selected};
};

// ---- Main dialog

TEST_F(SetupDialogsTest, MainDialogOkFollowsClicksAndRunsTheFlow) {
    SetupFlow flow(window);
    flow.OnListClick(-1);
    flow.OnListClick(0);
    flow.OnOk();
    flow.OnCancel();  // No
    window.answers = {kIdYes};
    flow.OnCancel();
    EXPECT_EQ(window.log, (Log{"disable", "disable", "enable", "copy", "hide", "connection", "end 1",
                               "ask 36: " + std::string(kExitQuestion), "ask 36: " + std::string(kExitQuestion),
                               "end 2"}));
}

// ---- USB connection wait

TEST_F(SetupDialogsTest, OnlyTheModelsArrivalEndsTheWaitAndInstallsOnce) {
    SetPortNumber(common::kRegDword, Dword(1));
    auto notice = [](std::uint32_t event, std::string name) {
        common::DeviceNotice n;
        n.event = event;
        n.hasRecord = true;
        n.deviceType = 5;
        n.name = std::move(name);
        return n;
    };
    // Which notices name the model is common's classification, tested with
    // it; the wait acts on the model's arrival only, not on its removal.
    wait.OnDeviceChange(notice(0x8004, kModelPath));
    EXPECT_TRUE(window.log.empty());

    std::string lower = kModelPath;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    wait.OnDeviceChange(notice(0x8000, lower));
    wait.OnDeviceChange(notice(0x8000, kModelPath));  // delivered while the result is on screen
    EXPECT_EQ(window.log, (Log{"notices stopped", "end 1", "please-wait", "installer", "please-wait hidden",
                               "please-wait gone"}));
    EXPECT_EQ(sys.sleeps, std::vector<std::uint32_t>{2000});
    ASSERT_EQ(sys.printerCalls.size(), 1u);
    EXPECT_EQ(sys.printerCalls[0].port, "USB001");
    EXPECT_EQ(sys.oemCalls.size(), 2u);  // before the installation and in it
    EXPECT_EQ(Messages(), Log{std::string(kCaption) +
                              "|KLR VX 7 Ember Printer Driver & Status Monitor installed successfully.|64"});
    EXPECT_EQ(sys.waitDepth, 0);
}

TEST_F(SetupDialogsTest, PortLookupReadsFourKeysDeepAndFormatsTheNumber) {
    const std::pair<std::uint32_t, const char*> numbers[] = {{1, "USB001"}, {12, "USB012"}, {1000, "USB1000"}};
    for (const auto& [number, port] : numbers) {
        SetPortNumber(common::kRegDword, Dword(number));
        EXPECT_EQ(wait.LookupUsbPort(), port);
    }
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_TRUE(sys.open.empty()) << "every key closed";
    for (const auto& opened : sys.openedWith) EXPECT_EQ(opened.second, common::kKeyRead) << opened.first.second;
    EXPECT_EQ(sys.openedWith.size(), 12u);
}

TEST_F(SetupDialogsTest, PortLookupFailsOnAMissingKeyOrABadNumber) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"no class key", [&] { sys.keys.erase({common::RegRoot::LocalMachine, kUsbPrintClassKey}); }},
        {"no Device Parameters", [] {}},
        {"no Port Number", [&] { sys.keys[{common::RegRoot::LocalMachine, kParameters}]; }},
        {"a text", [&] { SetPortNumber(common::kRegSz, "1\0\0\0"); }},
        {"eight bytes", [&] { SetPortNumber(11, Dword(1) + Dword(0)); }},
        {"two bytes", [&] { SetPortNumber(common::kRegDword, "\1\0"); }},
    };
    for (const auto& [what, arrange] : cases) {
        SCOPED_TRACE(what);
        sys.keys.erase({common::RegRoot::LocalMachine, kParameters});
        sys.keys[{common::RegRoot::LocalMachine, kUsbPrintClassKey}];
        sys.messages.clear();
        arrange();
        EXPECT_EQ(wait.LookupUsbPort(), "FALSE");
        EXPECT_EQ(Messages(), Log{"Setup|Please connect printer properly|48"});
        EXPECT_TRUE(sys.open.empty());
    }
}

TEST_F(SetupDialogsTest, FailedInfPreinstallationSkipsTheInstallation) {
    sys.oemInfError = 5;
    wait.OnDeviceChange(common::DeviceNotice{0x8000, true, 5, kModelPath});
    EXPECT_TRUE(sys.printerCalls.empty());
    EXPECT_TRUE(sys.openedWith.empty()) << "no port lookup";
    EXPECT_EQ(Messages(), Log{std::string(kCaption) + "|Unexpected error 0x001C occured.|16"});
}

TEST_F(SetupDialogsTest, ManualHandsOverToThePortSelection) {
    wait.OnManual();
    EXPECT_EQ(window.log, (Log{"notices stopped", "hide", "port selection", "end 1"}));
    EXPECT_EQ(ProgramName("C:\\Media.v2\\Setup.exe"), "Setup");
    EXPECT_EQ(ProgramName("D:\\SETUP"), "SETUP");
}

// ---- Manual port selection

TEST_F(SetupDialogsTest, PortsInTheSpoolersOrderWithNullTextsEmpty) {
    sys.spoolerPorts = {{"LPT1:", "Local Port"}, {"COM1:", nullptr}, {nullptr, "Network"}};
    testing::internal::CaptureStdout();
    const auto ports = EnumeratePorts(platform);
    const std::string lines = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ports.has_value());
    ASSERT_EQ(ports->size(), 3u);
    EXPECT_EQ(PortDisplayText((*ports)[0]), "LPT1: (Local Port)");
    EXPECT_EQ(PortDisplayText((*ports)[1]), "COM1: ()");
    EXPECT_EQ(PortDisplayText((*ports)[2]), " (Network)");
    const std::uint32_t size = 3 * sizeof(PortInfo2Record) + 31;  // the records, then their texts
    EXPECT_EQ(lines, "Allocating a buffer of size " + std::to_string(size) + "\n");
    EXPECT_EQ(sys.enumPortsCalls, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{2, 10}, {2, size}}));

    sys.spoolerPorts.clear();
    const auto none = EnumeratePorts(platform);  // the size query succeeds
    EXPECT_TRUE(none.has_value() && none->empty());
}

TEST_F(SetupDialogsTest, Lpt1IsProposedInItsExactCase) {
    choice.OnInitDialog();
    EXPECT_EQ(window.list.size(), 4u);
    EXPECT_EQ(window.list[2], std::make_pair(std::string("LPT1: (Local Port)"), std::string("LPT1:")));
    EXPECT_EQ(window.selection, 2);
    EXPECT_EQ(choice.m_strCurrentPort, "LPT1: (Local Port)");
    EXPECT_EQ(selected, "LPT1:");

    FakeWindow other(platform);
    std::string none;
    PortChoice lowerCase(other, platform, none);
    sys.spoolerPorts = {{"lpt1:", "Local Port"}, {"COM1:", "Local Port"}};
    lowerCase.OnInitDialog();
    EXPECT_EQ(other.selection, -1);
    EXPECT_EQ(lowerCase.m_strCurrentPort, "");
    EXPECT_EQ(none, "");
    lowerCase.OnOk();  // nothing chosen: nothing happens
    EXPECT_EQ(other.log, Log{"current port shown"});
    EXPECT_TRUE(sys.printerCalls.empty());
}

TEST_F(SetupDialogsTest, TheLastChoiceIsInstalledThenTheDialogEnds) {
    choice.OnInitDialog();
    for (int index : {0, 1}) {
        window.selection = index;
        choice.OnSelectionChange();
    }
    EXPECT_EQ(choice.m_strCurrentPort, "FILE: (Local Port)");
    window.log.clear();
    choice.OnOk();
    ASSERT_EQ(sys.printerCalls.size(), 1u);
    EXPECT_EQ(sys.printerCalls[0].port, "FILE:");
    EXPECT_EQ(window.log, (Log{"hide", "please-wait", "installer", "please-wait hidden", "end 1", "please-wait gone"}));
    EXPECT_EQ(sys.messages.size(), 1u);
}

TEST(PortChoiceFailure, EnumerationFailureSaysSoThenAsksToExit) {
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "refused" : "read fails");
        FakeSystem sys;
        sys.enumPortsError = refused ? 1722 : 0;
        sys.enumPortsReadFails = !refused;
        InstallerPlatform platform{sys.Platform()};
        FakeWindow window(platform);
        std::string port;
        PortChoice choice(window, platform, port);
        window.answers = {kIdCancel, kIdYes};
        choice.OnInitDialog();
        EXPECT_EQ(window.log, (Log{"ask 1: Unexpected error 0x002C occured while port enumeration.",
                                   "ask 36: " + std::string(kExitQuestion), "end 2"}));
        EXPECT_TRUE(window.list.empty());
    }
}

}  // namespace

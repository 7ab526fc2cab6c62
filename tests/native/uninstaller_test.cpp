// The uninstaller against a recording system holding a whole installation of
// the model beside another driver's printer: the order of the removals, what
// stays for another model, a second run, and failures that are reported
// while the rest is still removed. (The question, No and the refusal beside
// another uninstaller are covered end to end: tests/e2e/uninstall_e2e.sh.)
#include "uninstall/remove/uninstaller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "native/setup_fakes.h"

namespace {

using namespace uninstall;
using setup_fakes::FakeSystem;
using common::RegRoot;

const std::string kDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelrona";
const std::string kStartMenu = "D:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona";
const std::string kShortcut = kStartMenu + "\\StatusMonitorVX7EMBER.LNK";
const std::string kMonitor = kDir + "\\STM\\VX7EMBER.exe";
const std::string kModel = "KLR VX 7 Ember";

// Every removal of a whole installation, in its order.
const std::vector<std::string> kAllRemovals = {
    "open 4242", "command 104", "wait 15000",
    "queue KLR VX 7 Ember", "queue KLR VX 7 Ember (Copy 1)", "driver KLR VX 7 Ember",
    "value KLRNVX7EMBER", "file " + kShortcut, "folder " + kStartMenu, "file " + kMonitor, "folder " + kDir + "\\STM",
    "inf oem7.inf",
    "key " + kUninstallKey,
};

void Install(FakeSystem& sys) {
    for (const std::string& queue : {kModel, kModel + " (Copy 1)"}) {
        sys.printers.insert(queue);
        sys.printerDrivers[queue] = kModel;
    }
    sys.printers.insert("Kitchen");
    sys.printerDrivers["Kitchen"] = "Generic / Text Only";
    sys.driverKnown = true;
    sys.monitorRunning = true;
    sys.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX7EMBER"] = {1, kDir + "\\STM\\VX7EMBER", 0};
    sys.keys[{RegRoot::LocalMachine, kUninstallKey}]["DisplayName"] = {1, "Kelrona Printer Software", 0};
    sys.folders = {kStartMenu, kDir + "\\STM"};
    sys.files = {kShortcut, kMonitor, kDir + "\\unidrv.dll", kDir + "\\KLRN9pin.dll", kDir + "\\Uninstall.exe",
                 "E:\\WINDOWS\\inf\\oem7.inf", "E:\\WINDOWS\\inf\\oem3.inf", "E:\\WINDOWS\\inf\\ntprint.inf"};
    sys.infOriginalNames = {{"E:\\WINDOWS\\inf\\oem7.inf", "klrnvx7ember.inf"},
                            {"E:\\WINDOWS\\inf\\oem3.inf", "OTHERPRN.INF"}};
}

std::string Uninstall(FakeSystem& sys) {
    const installation::InstallerPlatform platform = sys.Platform();
    CUninstallerCore uninstaller(platform);
    sys.messages.clear();
    uninstaller.Remove();
    uninstaller.ReportResult();
    EXPECT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages.back().caption, "KLRN Printer Driver - Setup");
    EXPECT_EQ(sys.waitDepth, 0);
    return sys.messages.back().text;
}

TEST(Uninstaller, RemovesEverythingInOrderAndNothingShared) {
    FakeSystem sys;
    Install(sys);
    const std::string report = Uninstall(sys);
    EXPECT_EQ(sys.removals, kAllRemovals);
    EXPECT_EQ(sys.driverDeleteFlags, std::vector<std::uint32_t>{1}) << "DPD_DELETE_UNUSED_FILES";
    EXPECT_EQ(sys.infUninstallFlags, std::vector<std::uint32_t>{0}) << "never forced";
    EXPECT_EQ(sys.printers, std::set<std::string>{"Kitchen"});
    EXPECT_EQ(sys.files, (std::set<std::string>{kDir + "\\unidrv.dll", kDir + "\\KLRN9pin.dll", kDir + "\\Uninstall.exe",
                                                "E:\\WINDOWS\\inf\\oem3.inf", "E:\\WINDOWS\\inf\\ntprint.inf"}));
    EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 0u);
    EXPECT_EQ(sys.messages[0].type, 0x40u);
    EXPECT_EQ(report,
              "The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:"
              "\n- the running Status Monitor"
              "\n- the printer \"KLR VX 7 Ember\"\n- the printer \"KLR VX 7 Ember (Copy 1)\""
              "\n- the printer driver \"KLR VX 7 Ember\""
              "\n- the start of the Status Monitor at log-on (KLRNVX7EMBER)"
              "\n- the Start-menu shortcut " + kShortcut + "\n- the Start-menu folder " + kStartMenu +
              "\n- the Status Monitor program " + kMonitor + "\n- the folder " + kDir + "\\STM" +
              "\n- the driver package oem7.inf in the Windows driver store"
              "\n- the entry \"Kelrona Printer Software\" in Programs and Features");
}

TEST(Uninstaller, EntryAndSharedFoldersStayForAnotherModel) {
    const std::function<void(FakeSystem&)> others[] = {
        [](FakeSystem& s) { s.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX5FLINT"] = {1, "x", 0}; },
        [](FakeSystem& s) {
            s.files.insert(kDir + "\\STM\\VX5FLINT.exe");
            s.files.insert(kStartMenu + "\\StatusMonitorVX5FLINT.LNK");
        },
    };
    for (const auto& other : others) {
        FakeSystem sys;
        Install(sys);
        other(sys);
        const std::string report = Uninstall(sys);
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
        EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), "key " + kUninstallKey), 0);
        EXPECT_EQ(sys.files.count(kMonitor), 0u);
        EXPECT_NE(report.find("\n\nKept:\n- the entry \"Kelrona Printer Software\" in Programs and Features, "
                              "still needed for the KLR VX 5 Flint"),
                  std::string::npos)
            << report;
        EXPECT_EQ(report.rfind("The printer software of the KLR VX 7 Ember has been removed.", 0), 0u) << report;
        const bool otherFiles = sys.files.count(kDir + "\\STM\\VX5FLINT.exe") != 0;
        EXPECT_EQ(sys.folders.count(kDir + "\\STM"), otherFiles ? 1u : 0u);
        EXPECT_EQ(sys.folders.count(kStartMenu), otherFiles ? 1u : 0u);
        if (otherFiles) {
            EXPECT_EQ(report.find("the folder"), std::string::npos) << report;
        }
    }
}

TEST(Uninstaller, SecondRunAndHalfInstallationRemoveWhatIsThere) {
    FakeSystem sys;
    Install(sys);
    Uninstall(sys);
    EXPECT_EQ(Uninstall(sys), "No printer software of the KLR VX 7 Ember was found on this computer. Nothing was removed.");
    EXPECT_EQ(sys.messages[0].type, 0x40u);

    FakeSystem half;  // the driver and the monitor's start; no queue, monitor, shortcut or entry
    half.driverKnown = true;
    half.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX7EMBER"] = {1, "x", 0};
    EXPECT_EQ(Uninstall(half),
              "The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:"
              "\n- the printer driver \"KLR VX 7 Ember\"\n- the start of the Status Monitor at log-on (KLRNVX7EMBER)");
}

struct Failure {
    std::function<void(FakeSystem&)> arrange;
    const char* line;  // the line under "Not removed:"
    std::vector<std::string> notTried;
};

TEST(Uninstaller, EachFailureIsReportedAndTheRestDone) {
    const auto refuse = [](const std::string& what, std::uint32_t code) {
        return [what, code](FakeSystem& s) { s.refusals[what] = code; };
    };
    const Failure failures[] = {
        {refuse("open 4242", 5), "the running Status Monitor (access denied, error 5)", {"command 104", "wait 15000"}},
        {refuse("command 104", 1400), "the running Status Monitor (error 1400)", {"wait 15000"}},
        {[](FakeSystem& s) { s.monitorEndsOnExit = false; }, "the running Status Monitor (it did not close in time, error 1460)", {}},
        {[](FakeSystem& s) { s.listFails = true; },
         "the printers that use the printer driver \"KLR VX 7 Ember\" (access denied, error 5)",
         {"queue KLR VX 7 Ember", "queue KLR VX 7 Ember (Copy 1)"}},
        {refuse("queue KLR VX 7 Ember (Copy 1)", 5), "the printer \"KLR VX 7 Ember (Copy 1)\" (access denied, error 5)", {}},
        {refuse("driver KLR VX 7 Ember", 3001), "the printer driver \"KLR VX 7 Ember\" (still in use, error 3001)", {}},
        {refuse("value KLRNVX7EMBER", 5), "the start of the Status Monitor at log-on (KLRNVX7EMBER) (access denied, error 5)", {}},
        {refuse("file " + kShortcut, 5), "the Start-menu shortcut", {}},
        {refuse("file " + kMonitor, 32), "the Status Monitor program", {}},
        {[](FakeSystem& s) { s.directoryFails = true; }, "the Status Monitor program (access denied, error 5)",
         {"file " + kMonitor, "folder " + kDir + "\\STM"}},
        {refuse("inf oem7.inf", 0xE000023D),
         "the driver package oem7.inf in the Windows driver store (still used by a device, error 0xE000023D)", {}},
        {refuse("key " + kUninstallKey, 5), "the entry \"Kelrona Printer Software\" in Programs and Features (access denied, error 5)", {}},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.line);
        FakeSystem sys;
        Install(sys);
        failure.arrange(sys);
        const std::string report = Uninstall(sys);
        for (const std::string& removal : kAllRemovals) {
            const bool skipped = std::count(failure.notTried.begin(), failure.notTried.end(), removal) != 0;
            EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), removal), skipped ? 0 : 1) << removal;
        }
        EXPECT_EQ(report.rfind("Some parts of the printer software of the KLR VX 7 Ember could not be removed.\n\nRemoved:\n- ", 0), 0u)
            << report;
        EXPECT_NE(report.find(std::string("\n\nNot removed:\n- ") + failure.line), std::string::npos) << report;
        EXPECT_NE(report.find("\n\nClose any program that may use these parts, then run Uninstall again."), std::string::npos);
        EXPECT_EQ(sys.messages[0].type, 0x30u) << "warning icon";
    }
}

}  // namespace

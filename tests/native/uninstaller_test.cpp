// The uninstaller against a recording system holding a whole installation of
// the model beside another driver's printer: the order of the removals, what
// stays for another model, a second run, and failures that are reported
// while the rest is still removed. (The question, No and the refusal beside
// another uninstaller are covered end to end: tests/e2e/uninstall_e2e.sh.)
#include "uninstall/remove/uninstaller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "native/port_driver_fakes.h"
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

const std::string kFlint = "KLR VX 5 Flint";
// What the file copy staged for the model and what the models share.
const std::vector<std::string> kStaged = {kDir + "\\KLRNVX7EMBER.INF", kDir + "\\VX7EMBER.GPD", kDir + "\\KLRNVX7EMBER.CAT"};
const std::string kPlugIn = kDir + "\\KLRN9pin.dll", kUninstaller = kDir + "\\Uninstall.exe";

// Every removal of a whole installation, in its order.
const std::vector<std::string> kAllRemovals = {
    "open 4242", "command 104", "wait 15000",
    "queue KLR VX 7 Ember", "queue KLR VX 7 Ember (Copy 1)", "driver KLR VX 7 Ember",
    "value KLRNVX7EMBER", "file " + kShortcut, "file E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona\\StatusMonitorVX7EMBER.LNK",
    "file " + kMonitor, "inf oem7.inf",
    "file " + kStaged[0], "file " + kStaged[1], "file " + kStaged[2],
    "folder " + kStartMenu, "folder E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona", "folder " + kDir + "\\STM",
};

void Install(FakeSystem& sys) {
    for (const std::string& queue : {kModel, kModel + " (Copy 1)"}) {
        sys.printers.insert(queue);
        sys.printerDrivers[queue] = kModel;
    }
    sys.printers.insert("Kitchen");
    sys.printerDrivers["Kitchen"] = "Generic / Text Only";
    sys.drivers = {kModel, "Generic / Text Only"};
    sys.runningMonitors = {kModel + " - Status Monitor"};
    sys.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX7EMBER"] = {1, kDir + "\\STM\\VX7EMBER", 0};
    sys.keys[{RegRoot::LocalMachine, kUninstallKey}]["DisplayName"] = {1, "Kelrona Printer Software", 0};
    sys.keys[{RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}]["Programs"] =
        {1, "D:\\Users\\till\\Programs", 0};
    sys.folders = {kStartMenu, kDir + "\\STM"};
    sys.files = {kShortcut, kMonitor, kDir + "\\unidrv.dll", kPlugIn, kUninstaller, kDir + "\\OTHER.GPD",
                 "E:\\WINDOWS\\inf\\oem7.inf", "E:\\WINDOWS\\inf\\oem3.inf", "E:\\WINDOWS\\inf\\ntprint.inf"};
    sys.files.insert(kStaged.begin(), kStaged.end());
    sys.refusals["file " + kUninstaller] = 5;  // the running program
    sys.infOriginalNames = {{"E:\\WINDOWS\\inf\\oem7.inf", "klrnvx7ember.inf"},
                            {"E:\\WINDOWS\\inf\\oem3.inf", "OTHERPRN.INF"}};
}

// The second model of the pair, with every trace Setup leaves.
void InstallFlint(FakeSystem& sys) {
    sys.printers.insert("Kitchen Flint");
    sys.printerDrivers["Kitchen Flint"] = kFlint;
    sys.drivers.insert(kFlint);
    sys.monitorCaptions.push_back(kFlint + " - Status Monitor");
    sys.runningMonitors.insert(kFlint + " - Status Monitor");
    sys.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX5FLINT"] = {1, "x", 0};
    for (const char* file : {"\\STM\\VX5FLINT.exe", "\\KLRNVX5FLINT.INF", "\\VX5FLINT.GPD", "\\KLRNVX5FLINT.CAT"})
        sys.files.insert(kDir + file);
    sys.files.insert(kStartMenu + "\\StatusMonitorVX5FLINT.LNK");
}

std::string Uninstall(FakeSystem& sys, std::string* question = nullptr) {
    const installation::InstallerPlatform platform = sys.Platform();
    CUninstallerCore uninstaller(platform);
    sys.messages.clear();
    uninstaller.FindInstalledModels();
    if (question) {
        sys.messageAnswer = 6;  // Yes
        EXPECT_TRUE(uninstaller.Confirm());
        *question = sys.messages.back().text;
        sys.messages.clear();
    }
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
    sys.files.insert("E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona\\StatusMonitorVX7EMBER.LNK");
    sys.folders.insert("E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona");
    const std::string report = Uninstall(sys);
    ASSERT_GT(sys.removals.size(), kAllRemovals.size() + 4);
    EXPECT_EQ(std::vector<std::string>(sys.removals.begin(), sys.removals.begin() + kAllRemovals.size()), kAllRemovals);
    // Then the staged files of every other model of the catalogue, which are not there, and what the models share.
    EXPECT_EQ(sys.removals.size(), kAllRemovals.size() + 14 * 3 + 4);
    EXPECT_EQ(sys.removals[kAllRemovals.size()], "file " + kDir + "\\KLRNPT80CL.INF");
    EXPECT_EQ(std::vector<std::string>(sys.removals.end() - 4, sys.removals.end()),
              (std::vector<std::string>{"file " + kPlugIn, "file " + kUninstaller, "at restart " + kUninstaller,
                                        "key " + kUninstallKey}));
    EXPECT_EQ(sys.driverDeleteFlags, std::vector<std::uint32_t>{1}) << "DPD_DELETE_UNUSED_FILES";
    EXPECT_EQ(sys.infUninstallFlags, std::vector<std::uint32_t>{0}) << "never forced";
    EXPECT_EQ(sys.printers, std::set<std::string>{"Kitchen"});
    EXPECT_EQ(sys.files, (std::set<std::string>{kDir + "\\unidrv.dll", kDir + "\\OTHER.GPD", kUninstaller,
                                                "E:\\WINDOWS\\inf\\oem3.inf", "E:\\WINDOWS\\inf\\ntprint.inf"}));
    EXPECT_EQ(sys.filesAtRestart, std::set<std::string>{kUninstaller});
    EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 0u);
    EXPECT_EQ(sys.messages[0].type, 0x40u);
    EXPECT_EQ(report.rfind("The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:\n- ", 0), 0u) << report;
    EXPECT_NE(report.find("\n- the driver file " + kStaged[2] + "\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\n- the entry \"Kelrona Printer Software\" in Programs and Features"
                          "\n\nRemoved when Windows restarts:\n- the uninstaller " + kUninstaller),
              std::string::npos) << report;
}

TEST(Uninstaller, FindsEveryModelByAnyTraceAndRemovesThemAll) {
    const std::function<void(FakeSystem&)> traces[] = {
        [](FakeSystem& s) { s.drivers.insert(kFlint); },
        [](FakeSystem& s) { s.printers.insert("Bar"); s.printerDrivers["Bar"] = kFlint; },
        [](FakeSystem& s) { s.keys[{RegRoot::LocalMachine, kRunKey}]["KLRNVX5FLINT"] = {1, "x", 0}; },
        [](FakeSystem& s) { s.files.insert(kDir + "\\STM\\VX5FLINT.exe"); },
        [](FakeSystem& s) {  // another administrator: the shortcut is on the Windows drive
            s.files.insert("E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona\\StatusMonitorVX5FLINT.LNK");
        },
        [](FakeSystem& s) {
            s.files.insert("E:\\WINDOWS\\inf\\oem9.inf");
            s.infOriginalNames["E:\\WINDOWS\\inf\\oem9.inf"] = "KLRNVX5FLINT.INF";
        },
        InstallFlint,
    };
    for (const auto& trace : traces) {
        FakeSystem sys;
        Install(sys);
        trace(sys);
        std::string question;
        const std::string report = Uninstall(sys, &question);
        EXPECT_EQ(question.rfind("Do you want to remove the printer software of the KLR VX 5 Flint and the KLR VX 7 Ember "
                                 "from this computer?", 0), 0u) << question;
        EXPECT_EQ(report.rfind("The printer software of the KLR VX 5 Flint and the KLR VX 7 Ember has been removed."
                               "\n\nRemoved:\nKLR VX 5 Flint:\n- ", 0), 0u) << report;
        EXPECT_NE(report.find("\nKLR VX 7 Ember:\n- the running Status Monitor"), std::string::npos) << report;
        EXPECT_NE(report.find("\nKelrona Printer Software:\n"), std::string::npos) << report;
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 0u);
        EXPECT_EQ(sys.drivers, std::set<std::string>{"Generic / Text Only"});
        EXPECT_EQ(sys.printers, std::set<std::string>{"Kitchen"});
        EXPECT_TRUE(sys.runningMonitors.empty());
        EXPECT_TRUE((sys.keys[{RegRoot::LocalMachine, kRunKey}].empty()));
        for (const std::string& file : sys.files)
            EXPECT_TRUE(file.find("FLINT") == std::string::npos && file.find("EMBER") == std::string::npos) << file;
    }
}

TEST(Uninstaller, SecondRunFindsNothingAndTakesALeftEntry) {
    FakeSystem sys;
    Install(sys);
    Uninstall(sys);
    sys.keys[{RegRoot::LocalMachine, kUninstallKey}]["DisplayName"] = {1, "Kelrona Printer Software", 0};
    const std::string atRestart = "\n\nRemoved when Windows restarts:\n- the uninstaller " + kUninstaller;
    EXPECT_EQ(Uninstall(sys), "The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:"
                              "\n- the entry \"Kelrona Printer Software\" in Programs and Features" + atRestart);
    EXPECT_EQ(Uninstall(sys), "No printer software of the KLR VX 7 Ember was found on this computer." + atRestart);
    sys.files.erase(kUninstaller);  // Windows restarted
    sys.refusals.clear();
    EXPECT_EQ(Uninstall(sys), "No printer software of the KLR VX 7 Ember was found on this computer. Nothing was removed.");
    EXPECT_EQ(sys.messages[0].type, 0x40u);
}

TEST(Uninstaller, AModelThatIsLeftKeepsItsStagedFilesAndTheEntry) {
    FakeSystem sys;
    Install(sys);
    InstallFlint(sys);
    sys.refusals["driver " + kFlint] = 3001;
    const std::string report = Uninstall(sys);
    for (const std::string& file : kStaged) EXPECT_EQ(sys.files.count(file), 0u) << file;
    for (const char* file : {"\\KLRNVX5FLINT.INF", "\\VX5FLINT.GPD", "\\KLRNVX5FLINT.CAT", "\\KLRN9pin.dll", "\\Uninstall.exe"})
        EXPECT_EQ(sys.files.count(kDir + file), 1u) << file;
    EXPECT_TRUE(sys.filesAtRestart.empty());
    EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
    EXPECT_NE(report.find("\n\nNot removed:\nKLR VX 5 Flint:\n- the printer driver \"KLR VX 5 Flint\" (still in use, error 3001)"
                          "\n\nKept:\nKelrona Printer Software:\n- the entry \"Kelrona Printer Software\" in Programs and "
                          "Features, so that you can run Uninstall again from there"
                          "\n\nClose any program that may use these parts, then run Uninstall again from Programs and Features."),
              std::string::npos) << report;
}

TEST(Uninstaller, OurPortDriverGoesWithTheLastModelOnly) {
    for (bool modelLeft : {false, true}) {
        FakeSystem sys;
        Install(sys);
        InstallFlint(sys);
        if (modelLeft) sys.refusals["driver " + kFlint] = 3001;
        driver_fakes::FakeDriverSystem driver;
        driver.OurService();
        installation::InstallerPlatform platform = sys.Platform();
        platform.portDriver = &driver;
        CUninstallerCore uninstaller(platform);
        uninstaller.FindInstalledModels();
        uninstaller.Remove();
        EXPECT_EQ(driver.serviceExists, modelLeft);
        EXPECT_EQ(driver.files.count(driver_fakes::kFile), modelLeft ? 1u : 0u) << modelLeft;
    }
}

struct Failure {
    std::function<void(FakeSystem&)> arrange;
    std::string line;  // the line under "Not removed:"
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
        {refuse("file " + kStaged[1], 5), "the driver file " + std::string(kStaged[1]), {}},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.line);
        FakeSystem sys;
        Install(sys);
        failure.arrange(sys);
        const std::string report = Uninstall(sys);
        const bool entryFailed = failure.line.rfind("the entry", 0) == 0, staged = failure.line.rfind("the driver file", 0) == 0;
        for (const std::string& removal : kAllRemovals) {
            // After a failure of its own the model keeps its staged files.
            const bool skipped = std::count(failure.notTried.begin(), failure.notTried.end(), removal) != 0 ||
                                 (!staged && !entryFailed && std::count(kStaged.begin(), kStaged.end(), removal.substr(5)) != 0);
            EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), removal), skipped ? 0 : 1) << removal;
        }
        // The entry, the plug-in and the uninstaller stay for the next run.
        EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), "key " + kUninstallKey), entryFailed ? 1 : 0);
        EXPECT_EQ(sys.files.count(kPlugIn), entryFailed ? 0u : 1u);
        EXPECT_EQ(sys.filesAtRestart.size(), entryFailed ? 1u : 0u);
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
        EXPECT_EQ(report.rfind("Some parts of the printer software of the KLR VX 7 Ember could not be removed.\n\nRemoved:\n- ", 0), 0u)
            << report;
        EXPECT_NE(report.find("\n\nNot removed:\n- " + failure.line), std::string::npos) << report;
        EXPECT_EQ(report.find("\n\nKept:\n- the entry \"Kelrona Printer Software\" in Programs and Features, so that you can "
                              "run Uninstall again from there") == std::string::npos, entryFailed) << report;
        EXPECT_NE(report.find("\n\nClose any program that may use these parts, then run Uninstall again from Programs and "
                              "Features."), std::string::npos);
        EXPECT_EQ(sys.messages[0].type, 0x30u) << "warning icon";
    }
}

}  // namespace

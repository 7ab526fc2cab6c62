// The uninstaller against a recording system holding a whole installation of
// the model beside another driver's printer: the order of the removals, what
// stays for another model, a reinstall before the restart, files of another
// maker, and failures that are reported while the rest is still removed and
// keep the entry. (The question, No and the refusal beside
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
// Where the running uninstaller and a monitor that does not end are moved to
// (the fake's unique number is 0x1A2B).
const std::string kUninstallerAside = kDir + "\\~Uninstall-00001A2B.tmp", kMonitorAside = kDir + "\\~VX7EMBER-00001A2B.tmp";
const std::string kEntryKept = "\n- the entry \"Kelrona Printer Software\" in Programs and Features, so that you can run "
                               "Uninstall again from there";

const std::string kEventSource =
    "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KLR VX 7 Ember Status Monitor";

// Every removal of a whole installation, in its order.
const std::vector<std::string> kAllRemovals = {
    "open 4242", "command 104", "wait 15000",
    "queue KLR VX 7 Ember", "queue KLR VX 7 Ember (Copy 1)", "driver KLR VX 7 Ember",
    "value KLRNVX7EMBER",
    "key " + kEventSource, "file " + kShortcut, "file E:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona\\StatusMonitorVX7EMBER.LNK",
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
    sys.programPath = kUninstaller;  // run from the entry
    sys.companies[kUninstaller] = sys.companies[kPlugIn] = "Kelrona Limited";
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

std::string Uninstall(FakeSystem& sys, std::string* question = nullptr, Result* result = nullptr) {
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
    const Result removal = uninstaller.Remove();
    if (result) *result = removal;
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
              (std::vector<std::string>{"file " + kPlugIn, "rename " + kUninstaller + " to " + kUninstallerAside,
                                        "at restart " + kUninstallerAside, "key " + kUninstallKey}));
    EXPECT_EQ(sys.driverDeleteFlags, std::vector<std::uint32_t>{1}) << "DPD_DELETE_UNUSED_FILES";
    EXPECT_EQ(sys.infUninstallFlags, std::vector<std::uint32_t>{0}) << "never forced";
    EXPECT_EQ(sys.printers, std::set<std::string>{"Kitchen"});
    EXPECT_EQ(sys.files, (std::set<std::string>{kDir + "\\unidrv.dll", kDir + "\\OTHER.GPD", kUninstallerAside,
                                                "E:\\WINDOWS\\inf\\oem3.inf", "E:\\WINDOWS\\inf\\ntprint.inf"}));
    EXPECT_EQ(sys.filesAtRestart, std::set<std::string>{kUninstallerAside});
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
    EXPECT_EQ(Uninstall(sys), "The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:"
                              "\n- the entry \"Kelrona Printer Software\" in Programs and Features");
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
    const std::string needed = ", needed until the rest is removed\n- the ";
    EXPECT_NE(report.find("\n\nNot removed:\nKLR VX 5 Flint:\n- the printer driver \"KLR VX 5 Flint\" (still in use, error 3001)"
                          "\n\nKept:\nKLR VX 5 Flint:\n- the driver file " + kDir + "\\KLRNVX5FLINT.INF" + needed +
                          "driver file " + kDir + "\\VX5FLINT.GPD" + needed + "driver file " + kDir + "\\KLRNVX5FLINT.CAT" +
                          needed.substr(0, needed.size() - 7) + "\nKelrona Printer Software:\n- the driver file " + kPlugIn +
                          needed + "uninstaller " + kUninstaller + needed.substr(0, needed.size() - 7) + kEntryKept +
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
        {[](FakeSystem& s) { s.listFails = true; },
         "the printers that use the printer driver \"KLR VX 7 Ember\" (access denied, error 5)\n- the printer driver "
         "\"KLR VX 7 Ember\" (still in use, error 3001)\n- the printer drivers and printers, which the print spooler could "
         "not list (access denied, error 5)",
         {"queue KLR VX 7 Ember", "queue KLR VX 7 Ember (Copy 1)"}},
        {refuse("queue KLR VX 7 Ember (Copy 1)", 5), "the printer \"KLR VX 7 Ember (Copy 1)\" (access denied, error 5)", {}},
        {refuse("driver KLR VX 7 Ember", 3001), "the printer driver \"KLR VX 7 Ember\" (still in use, error 3001)", {}},
        {refuse("value KLRNVX7EMBER", 5), "the start of the Status Monitor at log-on (KLRNVX7EMBER) (access denied, error 5)", {}},
        {refuse("key " + kEventSource, 5),
         "the Status Monitor's event source KLR VX 7 Ember Status Monitor in the Windows event log (access denied, error 5)", {}},
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
        // The entry, the plug-in and the uninstaller stay for the next run
        // (after a failed entry the uninstaller is back in its place).
        EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), "key " + kUninstallKey), entryFailed ? 1 : 0);
        EXPECT_EQ(sys.files.count(kPlugIn), entryFailed ? 0u : 1u);
        EXPECT_EQ(sys.files.count(kUninstaller), 1u);
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
        if (!sys.directoryFails) {
            EXPECT_NE(report.find("\n- the uninstaller " + kUninstaller + ", needed until the rest is removed"), std::string::npos);
        }
        EXPECT_EQ(report.rfind("Some parts of the printer software of the KLR VX 7 Ember could not be removed.\n\nRemoved:\n- ", 0), 0u)
            << report;
        EXPECT_NE(report.find("\n\nNot removed:\n- " + failure.line), std::string::npos) << report;
        EXPECT_EQ(report.find(kEntryKept) == std::string::npos, entryFailed) << report;
        EXPECT_NE(report.find("\n\nClose any program that may use these parts, then run Uninstall again from Programs and "
                              "Features."), std::string::npos);
        EXPECT_EQ(sys.messages[0].type, 0x30u) << "warning icon";
    }
}

// Each step after the models (another model's staged file, the plug-in, the
// move and the scheduling of the running uninstaller) keeps the entry when it
// fails, and what was not yet removed is kept and named.
TEST(Uninstaller, EachFailureAfterTheModelsKeepsTheEntry) {
    const std::string otherInf = kDir + "\\KLRNPT80CL.INF";
    const std::pair<std::string, std::string> failures[] = {
        {"file " + otherInf, "the driver file " + otherInf},
        {"file " + kPlugIn, "the driver file " + kPlugIn},
        {"rename " + kUninstaller + " to " + kUninstallerAside, "the uninstaller " + kUninstaller},
        {"at restart " + kUninstallerAside, "the uninstaller " + kUninstaller},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.first);
        FakeSystem sys;
        Install(sys);
        sys.files.insert(otherInf);
        sys.refusals[failure.first] = 32;
        Result result = Result::Removed;
        const std::string report = Uninstall(sys, nullptr, &result);
        EXPECT_EQ(result, Result::Failed);
        EXPECT_EQ(std::count(sys.removals.begin(), sys.removals.end(), "key " + kUninstallKey), 0);
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
        EXPECT_EQ(sys.files.count(kUninstaller), 1u) << "in its place for the next run";
        EXPECT_EQ(sys.files.count(kUninstallerAside), 0u);
        EXPECT_NE(report.find("\n\nNot removed:\n- " + failure.second + " (in use by another program, error 32)\n\nKept:"),
                  std::string::npos) << report;
        EXPECT_NE(report.find(kEntryKept + "\n\nClose any program"), std::string::npos) << report;
        EXPECT_EQ(report.find("Removed when Windows restarts"), std::string::npos) << report;
    }
}

TEST(Uninstaller, ASpoolerThatDoesNotAnswerIsAFailureThatKeepsTheEntry) {
    FakeSystem sys;  // the model's only traces are its queue and driver
    sys.printers = {kModel};
    sys.printerDrivers[kModel] = kModel;
    sys.drivers = {kModel};
    sys.keys[{RegRoot::LocalMachine, kUninstallKey}]["DisplayName"] = {1, "Kelrona Printer Software", 0};
    sys.listFails = true;
    sys.listError = 1722;
    Result result = Result::Removed;
    EXPECT_EQ(Uninstall(sys, nullptr, &result),
              "Some parts of the printer software of the KLR VX 7 Ember could not be removed.\n\nNot removed:\n- the printer "
              "drivers and printers, which the print spooler could not list (the print spooler does not answer, error 1722)"
              "\n\nKept:" + kEntryKept +
              "\n\nClose any program that may use these parts, then run Uninstall again from Programs and Features.");
    EXPECT_EQ(result, Result::Failed);
    EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 1u);
    EXPECT_EQ(sys.drivers, std::set<std::string>{kModel});
}

// A monitor that does not end after Exit: its program is moved aside and goes
// at restart, the rest is removed with the entry, and the report asks for the
// restart; a new monitor installed before the restart survives it, as does
// the new uninstaller.
TEST(Uninstaller, AMonitorThatDoesNotEndGoesAtRestart) {
    FakeSystem sys;
    Install(sys);
    sys.monitorEndsOnExit = false;
    Result result = Result::Failed;
    const std::string report = Uninstall(sys, nullptr, &result);
    EXPECT_EQ(result, Result::RestartNeeded);
    EXPECT_EQ(sys.filesAtRestart, (std::set<std::string>{kMonitorAside, kUninstallerAside}));
    EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 0u);
    EXPECT_EQ(report.rfind("The printer software of the KLR VX 7 Ember has been removed.\n\nRemoved:\n", 0), 0u) << report;
    const std::string end = "\n\nRemoved when Windows restarts:\n- the running Status Monitor (it did not close in time, error 1460)"
                            "\n- the Status Monitor program " + kMonitor + "\n- the uninstaller " + kUninstaller +
                            "\n\nRestart Windows to finish the removal.";
    EXPECT_EQ(report.substr(report.size() - std::min(report.size(), end.size())), end);
    EXPECT_EQ(sys.messages[0].type, 0x40u);
    sys.files.insert({kMonitor, kUninstaller});  // Setup again
    sys.Restart();
    EXPECT_EQ(sys.files.count(kMonitor) + sys.files.count(kUninstaller), 2u);
    EXPECT_EQ(sys.files.count(kMonitorAside) + sys.files.count(kUninstallerAside), 0u);

}

// An Uninstall.exe or a plug-in whose version resource does not name the
// maker stays and is named; the maker's own uninstaller, when it is not the
// one running, is deleted at once.
TEST(Uninstaller, OnlyTheMakersFilesAreRemoved) {
    for (const char* company : {"Other Soft Inc.", "Kelronaware", "", "KELRONA Ltd"}) {
        SCOPED_TRACE(company);
        FakeSystem sys;
        Install(sys);
        sys.programPath = "F:\\medium\\Uninstall.exe";
        sys.companies[kUninstaller] = sys.companies[kPlugIn] = company;
        Result result = Result::Failed;
        const std::string report = Uninstall(sys, nullptr, &result);
        const bool ours = std::string(company) == "KELRONA Ltd";
        EXPECT_EQ(result, Result::Removed);
        EXPECT_EQ(sys.keys.count({RegRoot::LocalMachine, kUninstallKey}), 0u);
        EXPECT_TRUE(sys.filesAtRestart.empty());
        for (const std::string& file : {kUninstaller, kPlugIn}) EXPECT_EQ(sys.files.count(file), ours ? 0u : 1u) << file;
        EXPECT_EQ(report.find("\n\nKept:\n- the driver file " + kPlugIn + ", which is not from Kelrona\n- the uninstaller " +
                              kUninstaller + ", which is not from Kelrona") == std::string::npos, ours) << report;
    }
}

}  // namespace

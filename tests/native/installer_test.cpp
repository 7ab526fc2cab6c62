// The driver installer against a recording system: what it hands to the
// spooler, registry and shell, and what it reports.
#include "setup/install/installer.h"

#include <gtest/gtest.h>

#include "native/port_driver_fakes.h"
#include "native/setup_fakes.h"

namespace {

#include <functional>
using namespace setup;
using namespace installation;
using setup_fakes::FakeSystem;

const std::string kDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelrona";
constexpr std::uint32_t kErrorBox = 0x10;
constexpr std::uint32_t kInfoBox = 0x40;

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest() { installer.m_strPort = "LPT1:"; }

    std::string OnlyMessage() {
        EXPECT_EQ(sys.messages.size(), 1u);
        if (sys.messages.empty()) return std::string();
        EXPECT_EQ(sys.messages[0].caption, "KLRN Printer Driver - Setup");
        return sys.messages[0].text;
    }
    void ExpectNoMonitor() {
        EXPECT_TRUE(sys.fileOperations.empty());
        EXPECT_EQ(sys.Value(common::RegRoot::LocalMachine, kRunKey, "KLRNVX7EMBER"), nullptr);
        EXPECT_EQ(sys.link, nullptr);
        EXPECT_TRUE(sys.executions.empty());
    }
    void ExpectInfAndUninstallDone() {
        EXPECT_EQ(sys.oemCalls.size(), 1u);
        EXPECT_NE(sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "UninstallString"), nullptr);
    }

    FakeSystem sys;
    InstallerPlatform platform{sys.Platform()};
    CInstallerCore installer{platform};
};

// ---- The outcome report: where the install stops, what it leaves done and
// the one message it gives.

struct Outcome {
    const char* what;
    std::function<void(FakeSystem&)> arrange;
    bool install;
    std::size_t driverCalls, printerCalls, fileOps;
    bool launched, runValue;
    const char* message;
    std::uint32_t type;
};

TEST(InstallerOutcome, EachStageReportsItsRow) {
    const std::string full = "KLR VX 7 Ember Printer Driver & Status Monitor installed successfully.";
    const std::string driverOnly = "KLR VX 7 Ember Printer Driver installed successfully.";
    const Outcome rows[] = {
        {"nothing tried yet", [](FakeSystem&) {}, false, 0, 0, 0, false, false,
         "Unexpected error 0x001C occured.", kErrorBox},
        {"no driver directory", [](FakeSystem& s) { s.directoryFails = true; }, true, 0, 0, 0, false,
         false, "Unexpected error 0x001C occured.", kErrorBox},
        {"driver refused", [](FakeSystem& s) { s.driverFails = true; }, true, 1, 0, 0, false, false,
         "Unexpected error 0x002C occured.", kErrorBox},
        {"printer refused", [](FakeSystem& s) { s.printerError = 5; }, true, 1, 1, 0, false, false,
         "Unexpected error 0x003C occured.", kErrorBox},
        {"everything", [](FakeSystem&) {}, true, 1, 1, 1, true, true, full.c_str(), kInfoBox},
        {"INF failure is silent", [](FakeSystem& s) { s.oemInfError = 2; }, true, 1, 1, 1, true, true,
         full.c_str(), kInfoBox},
        {"monitor folder exists", [](FakeSystem& s) { s.createDirectoryResult = 183; }, true, 1, 1, 1,
         true, true, full.c_str(), kInfoBox},
        {"no Run key", [](FakeSystem& s) { s.keys.erase({common::RegRoot::LocalMachine, kRunKey}); }, true, 1,
         1, 1, true, false, full.c_str(), kInfoBox},
        {"monitor folder not made", [](FakeSystem& s) { s.createDirectoryResult = 5; }, true, 1, 1, 0,
         false, false, driverOnly.c_str(), kInfoBox},
        {"monitor missing on the medium", [](FakeSystem& s) { s.fileOperationResult = 2; }, true, 1,
         1, 1, false, false, driverOnly.c_str(), kInfoBox},
    };
    for (const Outcome& row : rows) {
        SCOPED_TRACE(row.what);
        FakeSystem sys;
        InstallerPlatform platform{sys.Platform()};
        CInstallerCore installer{platform};
        installer.m_strPort = "LPT1:";
        row.arrange(sys);
        if (row.install) installer.Install();
        installer.ReportResult();
        ASSERT_EQ(sys.messages.size(), 1u);
        EXPECT_EQ(sys.messages[0].caption, "KLRN Printer Driver - Setup");
        EXPECT_EQ(sys.messages[0].text, row.message);
        EXPECT_EQ(sys.messages[0].type, row.type);
        EXPECT_EQ(sys.driverCalls.size(), row.driverCalls);
        EXPECT_EQ(sys.printerCalls.size(), row.printerCalls);
        EXPECT_EQ(installer.m_bDirectoryOk, row.driverCalls > 0);
        EXPECT_EQ(installer.m_bDriverOk, row.printerCalls > 0);
        const bool printed = row.type == kInfoBox;
        EXPECT_EQ(installer.m_bPrinterOk, printed);
        EXPECT_EQ(sys.defaultPrinters,
                  printed ? std::vector<std::string>{"KLR VX 7 Ember"} : std::vector<std::string>{});
        EXPECT_EQ(sys.fileOperations.size(), row.fileOps);
        EXPECT_EQ(sys.executions.size(), row.launched ? 1u : 0u);
        EXPECT_EQ(sys.link != nullptr, row.launched);
        EXPECT_EQ(sys.Value(common::RegRoot::LocalMachine, kRunKey, "KLRNVX7EMBER") != nullptr, row.runValue);
        // The INF and the uninstall entry follow every printer made.
        EXPECT_EQ(sys.oemCalls.size(), printed ? 1u : 0u);
        EXPECT_EQ(sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "UninstallString") != nullptr,
                  printed);
        EXPECT_EQ(sys.waitDepth, 0);
        EXPECT_FALSE(sys.waitUnbalanced);
        EXPECT_EQ(sys.waitBegun > 0, row.install);
        if (row.install && row.driverCalls == 0) {
            EXPECT_EQ(sys.waitBegun, 1);
        }
    }
}

// ---- Records handed to the spooler.

TEST_F(InstallerTest, DriverRecordFieldByField) {
    installer.Install();
    ASSERT_EQ(sys.driverCalls.size(), 1u);
    const auto& call = sys.driverCalls[0];
    EXPECT_EQ(call.record.cVersion, 3u);
    EXPECT_EQ(call.name, "KLR VX 7 Ember");
    EXPECT_EQ(call.record.pEnvironment, nullptr);
    EXPECT_EQ(call.driverPath, "unidrv.dll");
    EXPECT_EQ(call.dataFile, "VX7EMBER.GPD");
    EXPECT_EQ(call.configFile, "unidrvui.dll");
    EXPECT_EQ(call.helpFile, "unidrv.hlp");
    EXPECT_EQ(call.dependentFiles,
              setup_fakes::Bytes("KLRN9pin.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0unires.dll\0stdnames.gpd\0\0"));
    EXPECT_EQ(call.record.pMonitorName, nullptr);
    EXPECT_EQ(call.record.pDefaultDataType, nullptr);
    EXPECT_EQ(call.record.pszzPreviousNames, nullptr);
    EXPECT_EQ(call.record.ftDriverDateHigh, 0x01C9ED4Cu);
    EXPECT_EQ(call.record.ftDriverDateLow, 0x39D00000u);
    EXPECT_EQ(call.record.dwlDriverVersion, 0x0005000000000006ull);
    EXPECT_EQ(call.mfg, "Kelrona");
    EXPECT_EQ(call.url, "www.kelrona.com");
    EXPECT_EQ(call.hardwareId, "NA");
    EXPECT_EQ(call.provider, "Kelrona");
}

TEST_F(InstallerTest, PrinterRecordFieldByField) {
    installer.Install();
    ASSERT_EQ(sys.printerCalls.size(), 1u);
    const auto& call = sys.printerCalls[0];
    EXPECT_EQ(call.record.pServerName, nullptr);
    EXPECT_EQ(call.name, "KLR VX 7 Ember");
    EXPECT_EQ(call.share, "KLRVX7EMBER");
    EXPECT_EQ(call.port, "LPT1:");
    EXPECT_EQ(call.driver, "KLR VX 7 Ember");
    EXPECT_EQ(call.record.pComment, nullptr);
    EXPECT_EQ(call.record.pLocation, nullptr);
    EXPECT_EQ(call.record.pDevMode, nullptr);
    EXPECT_EQ(call.record.pSepFile, nullptr);
    EXPECT_EQ(call.processor, "winprint");
    EXPECT_TRUE(call.datatypeNull);
    EXPECT_EQ(call.record.pParameters, nullptr);
    EXPECT_EQ(call.record.pSecurityDescriptor, nullptr);
    EXPECT_EQ(call.record.Attributes, 0x204u);
    EXPECT_EQ(call.record.Priority, 1u);
    EXPECT_EQ(call.record.DefaultPriority + call.record.StartTime + call.record.UntilTime +
                  call.record.Status + call.record.cJobs + call.record.AveragePPM,
              0u);
}

// ---- A printer of that name exists already.

TEST_F(InstallerTest, CopyTakesTheFirstFreeNumberAndNoMonitor) {
    sys.printers = {"KLR VX 7 Ember", "KLR VX 7 Ember (Copy 1)"};
    installer.Install();
    installer.ReportResult();
    ASSERT_EQ(sys.printerCalls.size(), 3u);
    EXPECT_EQ(sys.printerCalls[1].name, "KLR VX 7 Ember (Copy 1)");
    EXPECT_EQ(sys.printerCalls[2].name, "KLR VX 7 Ember (Copy 2)");
    EXPECT_EQ(installer.m_strPrinterName, "KLR VX 7 Ember (Copy 2)");
    EXPECT_EQ(sys.defaultPrinters, std::vector<std::string>{"KLR VX 7 Ember (Copy 2)"});
    EXPECT_EQ(OnlyMessage(), "KLR VX 7 Ember (Copy 2) Printer Driver installed successfully.");
    ExpectNoMonitor();
    ExpectInfAndUninstallDone();
    EXPECT_TRUE(sys.sleeps.empty());
}

TEST_F(InstallerTest, FirstCopyIsCopyOne) {
    sys.printers = {"KLR VX 7 Ember"};
    installer.Install();
    EXPECT_EQ(installer.m_strPrinterName, "KLR VX 7 Ember (Copy 1)");
    EXPECT_EQ(installer.m_strResult, "KLR VX 7 Ember (Copy 1) Printer Driver installed successfully.");
}

// ---- A port the spooler does not know yet.

TEST_F(InstallerTest, PortKnownAfterSomeTriesMakesOnePrinter) {
    installer.m_strPort = "USB001";
    sys.portPending = "USB001";
    sys.portKnownAfterCalls = 4;
    installer.Install();
    EXPECT_TRUE(installer.m_bPrinterOk);
    EXPECT_EQ(sys.printerCalls.size(), 4u);
    EXPECT_EQ(sys.sleeps, (std::vector<std::uint32_t>{2000, 2000, 2000}));
    EXPECT_EQ(sys.printers, std::set<std::string>{"KLR VX 7 Ember"});
    EXPECT_EQ(installer.m_strPrinterName, "KLR VX 7 Ember");
}

TEST_F(InstallerTest, PortNeverKnownGivesUpAfterThirtyTries) {
    installer.m_strPort = "FALSE";
    installer.Install();
    installer.ReportResult();
    EXPECT_EQ(sys.printerCalls.size(), 30u);
    EXPECT_EQ(sys.sleeps, std::vector<std::uint32_t>(29, 2000));
    EXPECT_FALSE(installer.m_bPrinterOk);
    EXPECT_EQ(OnlyMessage(), "Unexpected error 0x003C occured.");
    EXPECT_EQ(sys.waitDepth, 0);
}

TEST_F(InstallerTest, UnknownDriverIsSaidBeforeTheFailure) {
    sys.printerError = kErrorUnknownPrinterDriver;
    installer.Install();
    installer.ReportResult();
    ASSERT_EQ(sys.messages.size(), 2u);
    EXPECT_EQ(sys.messages[0].text, "Printer driver unknown.");
    EXPECT_EQ(sys.messages[0].caption, "KLRN Printer Driver - Setup");
    EXPECT_EQ(sys.messages[0].type, kErrorBox);
    EXPECT_EQ(sys.messages[1].text, "Unexpected error 0x003C occured.");
}

// ---- Status monitor.

TEST_F(InstallerTest, MonitorCopiedIntoTheDriverDirectoryAndStartedMinimisedInItsFolder) {
    const std::string mark = kDir + "\\STM\\VX7EMBER.exe:Zone.Identifier";
    sys.files.insert(mark);
    installer.Install();
    EXPECT_FALSE(sys.files.count(mark)) << "the download mark stays on the monitor";
    ASSERT_EQ(sys.createdTrees.size(), 1u);
    EXPECT_EQ(sys.createdTrees[0], kDir + "\\STM\\");
    ASSERT_EQ(sys.fileOperations.size(), 1u);
    const auto& op = sys.fileOperations[0];
    EXPECT_EQ(op.func, 2u);
    EXPECT_EQ(op.from, setup_fakes::Bytes("STM\\VX7EMBER.exe\0\0"));
    EXPECT_EQ(op.to, kDir + setup_fakes::Bytes("\\STM\\\0\0"));
    EXPECT_EQ(op.flags, 0x610);
    // Then started minimised.
    ASSERT_EQ(sys.executions.size(), 1u);
    EXPECT_EQ(sys.executions[0].verb, "open");
    EXPECT_EQ(sys.executions[0].file, kDir + "\\STM\\VX7EMBER.exe");
    EXPECT_TRUE(sys.executions[0].noParameters);
    // Elevated: in its own folder, never in Setup's.
    EXPECT_FALSE(sys.executions[0].noDirectory);
    EXPECT_EQ(sys.executions[0].directory, kDir + "\\STM");
    EXPECT_EQ(sys.executions[0].show, 6);
}

TEST_F(InstallerTest, PortDriverServiceIsMadeWhateverThePortOnlyWithAPrinter) {
    for (std::uint32_t printerError : {0u, 5u}) {
        driver_fakes::FakeDriverSystem driver;
        FakeSystem system;
        system.printerError = printerError;
        installation::InstallerPlatform withDriver = system.Platform();
        withDriver.portDriver = &driver;
        CInstallerCore installer(withDriver);
        installer.m_strPort = "COM1:";
        installer.Install();
        EXPECT_EQ(driver.serviceExists, printerError == 0) << printerError;
    }
}


TEST_F(InstallerTest, RunValueWithoutExtensionAndExactSize) {
    installer.Install();
    const auto* value = sys.Value(common::RegRoot::LocalMachine, kRunKey, "KLRNVX7EMBER");
    ASSERT_NE(value, nullptr);
    const std::string data = kDir + "\\STM\\VX7EMBER";
    EXPECT_EQ(value->type, 1u);
    EXPECT_EQ(value->size, data.size() + 1);
    EXPECT_EQ(value->bytes, data + '\0');
    ASSERT_FALSE(sys.openedWith.empty());
    EXPECT_EQ(sys.openedWith[0].second, 0x0002u);  // KEY_SET_VALUE
    EXPECT_TRUE(sys.open.empty());                 // every key closed
}

TEST_F(InstallerTest, ShortcutOnTheDriveOfTheUsersProgramsFolder) {
    installer.Install();
    const std::string folder = "D:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Kelrona";
    EXPECT_EQ(sys.createdFolders, std::vector<std::string>{folder});
    ASSERT_NE(sys.link, nullptr);
    EXPECT_EQ(sys.link->savedAs, folder + "\\StatusMonitorVX7EMBER.LNK");
    EXPECT_TRUE(sys.link->remember);
    EXPECT_EQ(sys.link->path, kDir + "\\STM\\VX7EMBER.exe");
    EXPECT_EQ(sys.link->description, "Shortcut to Status Monitor - KLR VX 7 Ember");
    EXPECT_TRUE(sys.link->released);
    EXPECT_EQ(sys.coInitialized, 1);
}

TEST_F(InstallerTest, ShortcutWithoutProgramsValueUsesTheWindowsDrive) {
    sys.keys[{common::RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}]
        .clear();
    installer.Install();
    ASSERT_NE(sys.link, nullptr);
    EXPECT_EQ(sys.link->savedAs.substr(0, 3), "E:\\");
}

TEST_F(InstallerTest, ShortcutForANetworkProgramsFolderUsesTheWindowsDrive) {
    sys.keys[{common::RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}]
            ["Programs"] = {common::kRegSz, std::string("\\\\server\\profiles\\Programs") + '\0', 0};
    sys.windowsDirectory = "F:\\WINDOWS";
    installer.Install();
    ASSERT_NE(sys.link, nullptr);
    EXPECT_EQ(sys.link->savedAs.substr(0, 3), "F:\\");
}

TEST_F(InstallerTest, ShortcutWithoutPersistFileIsDropped) {
    sys.persistFileFails = true;
    installer.Install();
    ASSERT_NE(sys.link, nullptr);
    EXPECT_TRUE(sys.link->released);
    EXPECT_TRUE(sys.link->savedAs.empty());
    EXPECT_TRUE(sys.link->path.empty());
    EXPECT_EQ(sys.executions.size(), 1u);  // the launch still happens
}

// ---- INF pre-installation.

TEST_F(InstallerTest, InfCopiedFromTheDriverDirectory) {
    EXPECT_TRUE(installer.PreinstallInf());
    ASSERT_EQ(sys.oemCalls.size(), 1u);
    EXPECT_EQ(sys.oemCalls[0].source, kDir + "\\KLRNVX7EMBER.INF");
    EXPECT_EQ(std::string(installer.m_szInfPath), kDir + "\\KLRNVX7EMBER.INF");
    EXPECT_TRUE(sys.oemCalls[0].noMedia);
    EXPECT_EQ(sys.oemCalls[0].mediaType, 1u);
    EXPECT_EQ(sys.oemCalls[0].copyStyle, 8u);
    EXPECT_EQ(sys.oemCalls[0].destSize, 260u);
}

TEST_F(InstallerTest, InfAlreadyThereCountsAsDoneOtherErrorsOrNoDirectoryDoNot) {
    sys.oemInfError = 80;
    EXPECT_TRUE(installer.PreinstallInf());
    sys.oemInfError = 2;
    EXPECT_FALSE(installer.PreinstallInf());
    // Without the driver directory it is not tried.
    sys.oemCalls.clear();
    sys.directoryFails = true;
    EXPECT_FALSE(installer.PreinstallInf());
    EXPECT_TRUE(sys.oemCalls.empty());
}

// ---- Uninstall entry.

TEST_F(InstallerTest, UninstallEntryWithItsValues) {
    installer.Install();
    const std::string path = kDir + "\\Uninstall.exe";
    const auto* name = sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "DisplayName");
    const auto* command = sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "UninstallString");
    const auto* icon = sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "DisplayIcon");
    ASSERT_TRUE(name && command && icon);
    EXPECT_EQ(name->bytes, std::string("Kelrona Printer Software") + '\0');
    EXPECT_EQ(name->size, 25u);
    EXPECT_EQ(command->bytes, path + '\0');
    EXPECT_EQ(command->size, path.size() + 1);
    EXPECT_EQ(icon->bytes, path + '\0');
    EXPECT_EQ(icon->type, 1u);
    const auto* quiet = sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(quiet);
    EXPECT_EQ(quiet->bytes, "\"" + path + "\" /quiet" + '\0');
    EXPECT_EQ(sys.createOptions, (std::vector<std::uint32_t>{0, 0}));
    // The event source's key is made for writing its values, the entry's as before.
    EXPECT_EQ(sys.createAccess, (std::vector<std::uint32_t>{0x2, 0xF003F}));
    EXPECT_TRUE(sys.open.empty());
}

TEST_F(InstallerTest, TheMonitorIsTheEventSourceOfItsModel) {
    installer.Install();
    const std::string key =
        "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KLR VX 7 Ember Status Monitor";
    const auto* file = sys.Value(common::RegRoot::LocalMachine, key, "EventMessageFile");
    const auto* types = sys.Value(common::RegRoot::LocalMachine, key, "TypesSupported");
    ASSERT_TRUE(file && types);
    EXPECT_EQ(file->bytes, kDir + "\\STM\\VX7EMBER.exe" + '\0');
    EXPECT_EQ(file->type, 1u);
    EXPECT_EQ(types->bytes, std::string("\x07\0\0\0", 4));
    EXPECT_EQ(types->type, 4u);
}

TEST_F(InstallerTest, UninstallIconWrittenEvenWhenTheNameFails) {
    ASSERT_TRUE(installer.QueryDriverDirectory());
    sys.failingValues = {"DisplayName"};
    EXPECT_FALSE(installer.RegisterUninstall());
    EXPECT_EQ(sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "UninstallString"), nullptr);
    EXPECT_NE(sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "DisplayIcon"), nullptr);
    EXPECT_TRUE(sys.open.empty());
}

TEST_F(InstallerTest, UninstallKeyNotMadeIsAFailure) {
    ASSERT_TRUE(installer.QueryDriverDirectory());
    sys.createKeyFails = true;
    EXPECT_FALSE(installer.RegisterUninstall());
    sys.createKeyFails = false;
    sys.failingValues = {"UninstallString"};
    EXPECT_FALSE(installer.RegisterUninstall());
    sys.failingValues.clear();
    EXPECT_TRUE(installer.RegisterUninstall());
}

// ---- Driver directory queries.

TEST_F(InstallerTest, EveryQueryAsksTheSizeFirstAndTakesAFreshBuffer) {
    testing::internal::CaptureStdout();
    ASSERT_TRUE(installer.QueryDriverDirectory());
    const std::uint8_t* first = installer.m_pszDriverDir.get();
    ASSERT_TRUE(installer.QueryDriverDirectory());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Allocating a buffer of size 41\nAllocating a buffer of size 41\n");
    EXPECT_EQ(sys.directoryQuerySizes, (std::vector<std::uint32_t>{10, 41, 10, 41}));
    EXPECT_NE(installer.m_pszDriverDir.get(), first);
    EXPECT_EQ(installer.DriverDirectory(), kDir);
}

TEST_F(InstallerTest, DirectoryThatFitsTheScratchBufferIsNotTaken) {
    sys.driverDirectory = "C:\\d";
    EXPECT_FALSE(installer.QueryDriverDirectory());
    EXPECT_EQ(sys.directoryQuerySizes, (std::vector<std::uint32_t>{10}));
    EXPECT_EQ(installer.m_pszDriverDir, nullptr);
}

struct NoMemoryHeap : common::ISpoolHeap {
    std::unique_ptr<std::uint8_t[]> Allocate(std::uint32_t) override { return nullptr; }
    void WriteLine(const std::string& line) override { lines += line + "\n"; }
    std::string lines;
};

TEST_F(InstallerTest, NoMemoryForTheDirectory) {
    NoMemoryHeap heap;
    platform.heap = &heap;
    EXPECT_FALSE(installer.QueryDriverDirectory());
    EXPECT_EQ(heap.lines, "Allocating a buffer of size 41\nCan't get memory for new data buffer\n");
    EXPECT_EQ(installer.m_pszDriverDir, nullptr);
    installer.Install();
    installer.ReportResult();
    EXPECT_EQ(OnlyMessage(), "Unexpected error 0x001C occured.");
}

// A failing later query keeps the directory read before, so the uninstall
// entry still names it; without any directory there is no entry at all.
TEST_F(InstallerTest, FailedQueryKeepsTheEarlierDirectory) {
    ASSERT_TRUE(installer.QueryDriverDirectory());
    const std::uint8_t* first = installer.m_pszDriverDir.get();
    sys.directoryFails = true;
    EXPECT_FALSE(installer.QueryDriverDirectory());
    EXPECT_EQ(installer.m_pszDriverDir.get(), first);
    NoMemoryHeap heap;
    platform.heap = &heap;
    sys.directoryFails = false;
    EXPECT_FALSE(installer.PreinstallInf());
    EXPECT_EQ(installer.DriverDirectory(), kDir);
    EXPECT_TRUE(installer.RegisterUninstall());
    EXPECT_EQ(sys.Value(common::RegRoot::LocalMachine, kUninstallKey, "UninstallString")->bytes,
              kDir + "\\Uninstall.exe" + '\0');
}

TEST_F(InstallerTest, NoUninstallEntryWithoutADirectory) {
    EXPECT_FALSE(installer.RegisterUninstall());
    EXPECT_EQ(sys.keys.count({common::RegRoot::LocalMachine, kUninstallKey}), 0u);
}

}  // namespace
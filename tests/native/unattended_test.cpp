// The unattended runs of Setup and Uninstall: the command line both read,
// the log both write, the exit codes they end with, and that a refusal
// changes nothing and a quiet run shows nothing and starts no monitor.
#include <gtest/gtest.h>

#include "installation/command_line.h"
#include "installation/quiet_platform.h"
#include "native/setup_fakes.h"
#include "setup/app/unattended_setup.h"
#include "setup/ui/connection_wait.h"
#include "uninstall/app/quiet_uninstall.h"

namespace {

using namespace installation;
using setup_fakes::FakeSystem;

class FakeLogFile : public ILogFile {
public:
    bool Append(const std::string& text) override {
        if (fails) return false;
        appended += text;
        return true;
    }
    LogTime Now() override { return {2026, 12, 10, 9, 5, 7}; }
    std::string appended;
    bool fails = false;
};

class FakeStartup : public IStartupSystem {
public:
    common::MutexHandle CreateNamedMutex(const char*, std::uint32_t* lastError) override {
        *lastError = another ? 183 : 0;
        return 0x44;
    }
    void CloseMutex(common::MutexHandle) override {}
    void GetVersion(std::uint32_t* major, std::uint32_t* minor) override { *major = 6, *minor = windows8 ? 2 : 1; }
    bool QueryWow64(bool* wow64) override { return *wow64 = false, true; }
    bool IsUserAnAdmin() override { return admin; }
    bool another = false, windows8 = true, admin = true;
};

TEST(CommandLine, SwitchesInAnyCaseWithSlashOrDash) {
    const CommandLine line = ReadCommandLine("  -Q /PORT=lpt1:\t\"/Log=C:\\My Logs\\till 7.log\"", true);
    EXPECT_TRUE(line.quiet);
    EXPECT_EQ(line.port, "lpt1:");
    EXPECT_EQ(line.log, "C:\\My Logs\\till 7.log");
    EXPECT_EQ(line.bad, "");
    EXPECT_EQ(ReadCommandLine("/log=\"C:\\a b\\x.log\" /QUIET", false).log, "C:\\a b\\x.log");
    EXPECT_TRUE(ReadCommandLine("-help", true).help);
    EXPECT_TRUE(ReadCommandLine("/?", false).help);
    const CommandLine none = ReadCommandLine("", true);
    EXPECT_FALSE(none.quiet || none.help || none.hasPort || none.hasLog || !none.bad.empty());
}

TEST(CommandLine, TheFirstArgumentNotUnderstoodIsNamed) {
    for (const char* bad : {"/silent", "quiet", "/", "/port=", "/log", "/quiet=yes", "/p=LPT1:", "/?=x"})
        EXPECT_EQ(ReadCommandLine(std::string("/q ") + bad + " /what", true).bad, bad) << bad;
    // A value given twice is not guessed at; a flag twice is harmless.
    EXPECT_EQ(ReadCommandLine("/port=LPT1: /port=COM1:", true).bad, "/port=COM1:");
    EXPECT_EQ(ReadCommandLine("/q /quiet", true).bad, "");
    // The uninstaller has no port.
    EXPECT_EQ(ReadCommandLine("/quiet /port=LPT1:", false).bad, "/port=LPT1:");
}

TEST(StepLog, OneLinePerStepWithTimeAndErrorCode) {
    FakeLogFile file;
    StepLog log("Setup");
    ASSERT_TRUE(log.Open(&file));
    log.Done("driver directory");
    log.Failed("printer driver \"KLR VX 7 Ember\"", 1797);
    log.Failed("driver store package oem7.inf", 0xE000023D);
    log.Note("message \"X\"", "first\n\nsecond\r\nthird");
    EXPECT_EQ(file.appended,
              "2026-12-10 09:05:07 Setup: driver directory: done\r\n"
              "2026-12-10 09:05:07 Setup: printer driver \"KLR VX 7 Ember\": failed, error 1797\r\n"
              "2026-12-10 09:05:07 Setup: driver store package oem7.inf: failed, error 0xE000023D\r\n"
              "2026-12-10 09:05:07 Setup: message \"X\": first / second / third\r\n");
    EXPECT_EQ(log.Failures(), 2);
    // A file that cannot be written is reported at once and written no more.
    FakeLogFile broken;
    broken.fails = true;
    StepLog other("Uninstall");
    EXPECT_FALSE(other.Open(&broken));
    EXPECT_FALSE(other.IsOpen());
}

TEST(Usage, HelpIsZeroABadLineIs87AndQuietShowsNoBox) {
    FakeSystem sys;
    StepLog log("Setup");
    const auto answer = [&](const char* arguments, bool portRequired) {
        return AnswerUsage(ReadCommandLine(arguments, true), portRequired, true, "usage", sys, log);
    };
    EXPECT_EQ(answer("/?", true).exitCode, 0u);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, "usage");
    EXPECT_EQ(sys.messages[0].type, kMbOk | kMbIconInformation);
    const UsageAnswer bad = answer("/port=COM1: /force", true);
    EXPECT_TRUE(bad.ends);
    EXPECT_EQ(bad.exitCode, 87u);
    EXPECT_EQ(sys.messages.back().type, kMbOk | kMbIconError);
    sys.messages.clear();
    EXPECT_EQ(answer("/q /force", true).exitCode, 87u);
    EXPECT_EQ(answer("/q /?", true).exitCode, 0u);
    EXPECT_EQ(answer("/quiet", true).exitCode, 87u);  // Setup's quiet run needs a port
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_FALSE(answer("/quiet", false).ends);       // the uninstaller's does not
    EXPECT_FALSE(answer("/quiet /port=usb", true).ends);
}

TEST(Refusals, EachCheckHasItsExitCode) {
    FakeStartup system;
    const auto refusal = [&system] {
        common::SingleInstanceGuard guard(system, "m");
        return RefusalExitCode(CheckStartup(guard, system));
    };
    EXPECT_EQ(refusal(), 0u);
    system.admin = false;
    EXPECT_EQ(refusal(), 740u);
    system.windows8 = false;
    EXPECT_EQ(refusal(), 1633u);
    system.another = true;
    EXPECT_EQ(refusal(), 1618u);
}

class UnattendedSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        log.Open(&file);
        sys.files.insert("STM\\VX7EMBER.exe");
    }
    std::uint32_t Run(const std::string& port, bool quietRun = true) {
        QuietPlatform quiet(platform, log);
        setup::UnattendedSetup setup(quietRun ? quiet.Platform() : platform, log, quietRun);
        common::SingleInstanceGuard guard(system, "m");
        return setup.Run(port, guard, system);
    }
    // Nothing on the machine was changed.
    void ExpectUntouched() {
        EXPECT_TRUE(sys.fileOperations.empty());
        EXPECT_TRUE(sys.driverCalls.empty());
        EXPECT_TRUE(sys.printerCalls.empty());
        EXPECT_TRUE(sys.createOptions.empty());
    }
    FakeSystem sys;
    const InstallerPlatform platform = sys.Platform();
    FakeStartup system;
    FakeLogFile file;
    StepLog log{"Setup"};
};

TEST_F(UnattendedSetupTest, QuietInstallOnANamedPortShowsNothingAndStartsNoMonitor) {
    EXPECT_EQ(Run("lpt1:"), 0u);
    ASSERT_EQ(sys.printerCalls.size(), 1u);
    EXPECT_EQ(sys.printerCalls[0].port, "LPT1:");  // the spooler's spelling
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_TRUE(sys.executions.empty());
    for (const auto& operation : sys.fileOperations) EXPECT_EQ(operation.flags & 0x414, 0x414);  // silent
    EXPECT_NE(sys.Value(common::RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                        "KLRNVX7EMBER"),
              nullptr);
    EXPECT_NE(file.appended.find("status monitor start: left to the next log-on"), std::string::npos);
    EXPECT_NE(file.appended.find("Setup: message \"KLRN Printer Driver - Setup\": KLR VX 7 Ember Printer Driver & "
                                 "Status Monitor installed successfully."),
              std::string::npos);
}

TEST_F(UnattendedSetupTest, WithoutQuietTheResultIsShownAndTheMonitorStarted) {
    EXPECT_EQ(Run("COM1:", false), 0u);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].type, kMbOk | kMbIconInformation);
    EXPECT_EQ(sys.executions.size(), 1u);
}

TEST_F(UnattendedSetupTest, RefusalsChangeNothing) {
    EXPECT_EQ(Run("USB009"), 1796u);
    EXPECT_NE(file.appended.find("port USB009: refused"), std::string::npos);
    EXPECT_EQ(Run("usb"), 1168u);  // no printer of the model connected
    sys.enumPortsError = 5;
    EXPECT_EQ(Run("LPT1:"), 1603u);
    system.admin = false;
    EXPECT_EQ(Run("LPT1:"), 740u);
    system.another = true;
    EXPECT_EQ(Run("LPT1:"), 1618u);
    ExpectUntouched();
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(UnattendedSetupTest, TheConnectedUsbPrinterGivesItsPort) {
    const std::string device = std::string(setup::kUsbPrintClassKey) + "\\" + setup::UsbPrintInterfaceKey("VX7EMBER");
    sys.keys[{common::RegRoot::LocalMachine, setup::kUsbPrintClassKey}];
    sys.keys[{common::RegRoot::LocalMachine, device}];
    sys.keys[{common::RegRoot::LocalMachine, device + "\\#"}];
    sys.keys[{common::RegRoot::LocalMachine, device + "\\#\\Device Parameters"}]["Port Number"] = {4, std::string("\x03\0\0\0", 4), 4};
    // Unplugged: the port number stays, the link goes.
    EXPECT_EQ(Run("USB"), 1168u);
    sys.keys[{common::RegRoot::LocalMachine, device + "\\#\\Control"}]["Linked"] = {4, std::string("\x01\0\0\0", 4), 4};
    sys.ports.insert("USB003");
    EXPECT_EQ(Run("USB"), 0u);
    ASSERT_EQ(sys.printerCalls.size(), 1u);
    EXPECT_EQ(sys.printerCalls[0].port, "USB003");
    EXPECT_EQ(sys.oemCalls.size(), 2u);  // before the installation, as on the USB path, and in it
}

TEST_F(UnattendedSetupTest, AFailedStepIs1603AndTheLogNamesIt) {
    sys.driverFails = true;
    EXPECT_EQ(Run("LPT1:"), 1603u);
    EXPECT_NE(file.appended.find("Setup: printer driver \"KLR VX 7 Ember\": failed, error 5\r\n"), std::string::npos);
    sys.driverFails = false;
    sys.fileOperationResult = 0x75;
    EXPECT_EQ(Run("LPT1:"), 1603u);
    EXPECT_NE(file.appended.find("driver files copied from the medium: failed, error 117"), std::string::npos);
    EXPECT_TRUE(sys.exits.empty());  // the run ends with its code, not on the spot
    // Steps whose code the system does not leave as the last error.
    sys.fileOperationResult = 0;
    sys.createDirectoryResult = 206;
    sys.failingValues = {"KLRNVX7EMBER"};
    EXPECT_EQ(Run("LPT2:"), 1603u);
    EXPECT_NE(file.appended.find("STM\\VX7EMBER.exe: failed, error 206\r\n"), std::string::npos);
    sys.createDirectoryResult = 0;
    sys.printers.clear();  // else the next run makes a copy, which has no monitor
    EXPECT_EQ(Run("LPT2:"), 1603u);
    EXPECT_NE(file.appended.find("start at log-on (Run value KLRNVX7EMBER): failed, error 5\r\n"), std::string::npos);
}

TEST(QuietUninstall, RemovesWithoutAQuestionAndEndsWithItsCode) {
    FakeSystem sys;
    FakeStartup system;
    FakeLogFile file;
    StepLog log("Uninstall");
    log.Open(&file);
    const InstallerPlatform platform = sys.Platform();
    QuietPlatform quiet(platform, log);
    const auto run = [&] {
        uninstall::CUninstallerCore uninstaller(quiet.Platform());
        common::SingleInstanceGuard guard(system, "m");
        return uninstall::RunQuietly(uninstaller, guard, system, log);
    };
    sys.printers = {"KLR VX 7 Ember"};
    sys.printerDrivers["KLR VX 7 Ember"] = "KLR VX 7 Ember";
    sys.drivers = {"KLR VX 7 Ember"};
    sys.refusals["queue KLR VX 7 Ember"] = 5;
    EXPECT_EQ(run(), 1603u);
    EXPECT_NE(file.appended.find("Uninstall: printer \"KLR VX 7 Ember\": failed, error 5\r\n"), std::string::npos);
    EXPECT_NE(file.appended.find("uninstall entry: kept"), std::string::npos);
    sys.refusals.clear();
    EXPECT_EQ(run(), 0u);
    EXPECT_TRUE(sys.printers.empty());
    EXPECT_TRUE(sys.drivers.empty());
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_NE(file.appended.find("[answered Yes]"), std::string::npos);
    system.admin = false;
    EXPECT_EQ(run(), 740u);
    system.another = true;
    EXPECT_EQ(run(), 1618u);
}

}  // namespace

// Setup's start-up checks: their order, their messages, and the mutex
// handle closed on every way out.
#include "installation/startup.h"

#include <gtest/gtest.h>

#include "native/setup_fakes.h"

namespace {

using namespace installation;

class FakeStartup : public IStartupSystem {
public:
    common::MutexHandle CreateNamedMutex(const char* name, std::uint32_t* lastError) override {
        mutexName = name;
        *lastError = mutexError;
        return mutexHandle;
    }
    void CloseMutex(common::MutexHandle handle) override { closed.push_back(handle); }
    void GetVersion(std::uint32_t* major_, std::uint32_t* minor_) override {
        *major_ = major;
        *minor_ = minor;
    }
    bool QueryWow64(bool* wow64_) override {
        if (!hasWow64) return false;
        *wow64_ = wow64;
        return true;
    }
    bool IsUserAnAdmin() override { return admin; }

    std::string mutexName;
    std::uint32_t mutexError = 0;
    common::MutexHandle mutexHandle = 0x44;
    std::vector<common::MutexHandle> closed;
    std::uint32_t major = 6, minor = 2;
    bool hasWow64 = true, wow64 = false, admin = true;
};

class StartupTest : public ::testing::Test {
protected:
    // The checks' outcome and the one message, if any.
    bool Check() {
        common::SingleInstanceGuard guard(system, kSetupMutexName);
        return CheckEnvironment(guard, system, desktop);
    }
    std::string Message() {
        EXPECT_LE(desktop.messages.size(), 1u);
        if (desktop.messages.empty()) return "<none>";
        EXPECT_EQ(desktop.messages[0].caption, "KLRN Printer Driver - Setup");
        EXPECT_EQ(desktop.messages[0].type, 0x10u);
        return desktop.messages[0].text;
    }
    FakeStartup system;
    setup_fakes::FakeSystem desktop;
};

TEST_F(StartupTest, AllPassOn32BitWindows8ForAnAdministrator) {
    EXPECT_TRUE(Check());
    EXPECT_EQ(Message(), "<none>");
    EXPECT_EQ(system.mutexName, "Global\\{8D4A6F10-2C3B-4e71-A5D9-1F7C0B93E264}");
    EXPECT_EQ(system.closed, std::vector<common::MutexHandle>{0x44});
}

TEST_F(StartupTest, SecondSetupIsRefusedFirst) {
    system.mutexError = 183;
    system.major = 10;
    system.admin = false;
    EXPECT_FALSE(Check());
    EXPECT_EQ(Message(), "Another application is already running. Please terminate the previous application.");
    EXPECT_EQ(system.closed, std::vector<common::MutexHandle>{0x44});
}

TEST_F(StartupTest, AMutexOfAnotherUserRefusedToThisOneCountsAsRunning) {
    system.mutexError = 5;
    system.mutexHandle = 0;
    EXPECT_FALSE(Check());
    EXPECT_EQ(Message(), "Another application is already running. Please terminate the previous application.");
    EXPECT_TRUE(system.closed.empty());
}

TEST_F(StartupTest, OnlyVersionSixTwoIsAccepted) {
    for (auto version : {std::make_pair(6u, 1u), std::make_pair(6u, 3u), std::make_pair(10u, 0u),
                         std::make_pair(0u, 0u)}) {
        desktop.messages.clear();
        system.major = version.first;
        system.minor = version.second;
        system.wow64 = true;  // a 64-bit Windows 7 sees the version message, not the emulation one
        EXPECT_FALSE(Check());
        EXPECT_EQ(Message(), "The application will run only in Windows 8 (32 bit) Operating System.");
    }
}

TEST_F(StartupTest, EmulationOn64BitWindows8HasItsOwnMessage) {
    system.wow64 = true;
    system.admin = false;
    EXPECT_FALSE(Check());
    EXPECT_EQ(Message(), "The application will run only in Windows 8 32bit) Operating System.");
}

TEST_F(StartupTest, WithoutTheEmulationQueryTheCheckPasses) {
    system.hasWow64 = false;
    system.wow64 = true;
    EXPECT_TRUE(Check());
}

TEST_F(StartupTest, NonAdministratorIsToldHowToRunAsAdministrator) {
    system.admin = false;
    EXPECT_FALSE(Check());
    EXPECT_EQ(Message(),
              "Administrator Privileges required to install Printer Drivers.\nRight Click the \"Setup\" "
              "application and select \"Run As...\" and log in as Administrator.");
    EXPECT_EQ(system.closed.size(), 1u);
}

TEST_F(StartupTest, NoMutexHandleIsNotClosed) {
    system.mutexHandle = 0;
    EXPECT_TRUE(Check());
    EXPECT_TRUE(system.closed.empty());
}

}  // namespace

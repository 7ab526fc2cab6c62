// The hardware lookup against Wine's WMI and registry: the device query
// runs to its end; Wine's device names carry no "(LPT1)", so nothing
// matches, the key is kept and the status register lookup fails.
#include <windows.h>

#include <gtest/gtest.h>

#include "statmon/printer/parallel_port_win.h"
#include "common/registry.h"

using namespace statmon;

namespace {

class PortLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strPortKey = "(LPT1)";
        g_wStatusPort = 0;
    }
    void TearDown() override { g_strPortKey.clear(); }
};

TEST_F(PortLookupTest, QueryRunsToItsEndWithoutMatch) {
    auto wmi = CreateWmi();
    EXPECT_EQ(FindPortDeviceId(*wmi), 0);
    EXPECT_EQ(g_strPortKey, "(LPT1)");
    EXPECT_FALSE(LookupStatusPort(*common::CreateRegistry()));
    EXPECT_EQ(g_wStatusPort, 0);
}

TEST_F(PortLookupTest, SecondRunAfterSecurityWasSetStillWorks) {
    // The process security was set by the run before. Windows then answers
    // RPC_E_TOO_LATE (taken as set, see the native tests); Wine answers S_OK.
    for (int run = 0; run < 2; ++run) {
        auto wmi = CreateWmi();
        EXPECT_EQ(FindPortDeviceId(*wmi), 0) << "run " << run;
    }
    EXPECT_EQ(g_strPortKey, "(LPT1)");
    auto wmi = CreateWmi();
    ASSERT_GE(wmi->Initialize(), 0);
    const HResult again = wmi->InitializeSecurity();
    EXPECT_TRUE(again >= 0 || again == kRpcETooLate) << again;
    wmi->Uninitialize();
}

TEST_F(PortLookupTest, DiscoveryHooksOfTheRunningProgram) {
    auto port = CreateParallelPort();
    EXPECT_EQ(port->GetPlatform(), PLATFORM_NT);
    EXPECT_EQ(port->FindPortDeviceId(), 0);
    EXPECT_FALSE(port->LookupStatusPort());
    // Platform 0 reads nothing.
    g_nPlatform = 0;
    EXPECT_EQ(port->ReadPortStatus(), PORT_STATUS_UNKNOWN);
}

TEST_F(PortLookupTest, WmiAdapterDeliversTextNamesOnly) {
    auto wmi = CreateWmi();
    ASSERT_GE(wmi->Initialize(), 0);
    const HResult security = wmi->InitializeSecurity();
    EXPECT_TRUE(security >= 0 || security == kRpcETooLate);
    ASSERT_GE(wmi->CreateLocator(), 0);
    ASSERT_GE(wmi->ConnectServer("ROOT\\CIMV2"), 0);
    ASSERT_GE(wmi->SetProxyBlanket(), 0);
    ASSERT_GE(wmi->ExecQuery("WQL", "SELECT * FROM Win32_PnPEntity",
                             kWbemFlagForwardOnly | kWbemFlagReturnImmediately),
              0);
    int devices = 0;
    while (auto device = wmi->Next()) {
        ++devices;
        const auto name = device->GetText("Name");
        ASSERT_TRUE(name.has_value());
        EXPECT_FALSE(name->empty());
        EXPECT_FALSE(device->GetText("NoSuchProperty").has_value());
        device->GetText("PNPDeviceID");  // Wine does not provide it; must not fail
    }
    EXPECT_GT(devices, 0);
    wmi->ReleaseAll();
    wmi->Uninitialize();
}

TEST_F(PortLookupTest, EmptyKeyIsNoMatchAndNoLookup) {
    g_strPortKey.clear();
    auto port = CreateParallelPort();
    EXPECT_EQ(port->FindPortDeviceId(), 0);
    EXPECT_EQ(g_strPortKey, "");
    EXPECT_FALSE(port->LookupStatusPort());
}

}  // namespace

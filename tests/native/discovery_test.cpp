// Opening the model's queue, classifying its port and noticing a moved queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "native/monitor_fakes.h"

using namespace statmon;
using monfakes::Rig;

namespace {

const std::string kName = catalogue::Target().DisplayName;

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        g_strPortKey.clear();
        g_nPlatform = 0;
    }
    Rig rig;
};

TEST_F(Discovery, OpensTheModelQueueForUseWithNoDatatypeOrDevmode) {
    EXPECT_TRUE(rig.Init());
    EXPECT_EQ(rig.spooler.queueName, kName);
    ASSERT_TRUE(rig.spooler.defaultsGiven);
    EXPECT_EQ(rig.spooler.lastDefaults.pDatatype, nullptr);
    EXPECT_EQ(rig.spooler.lastDefaults.pDevMode, nullptr);
    EXPECT_EQ(rig.spooler.lastDefaults.DesiredAccess, 0x8u);  // PRINTER_ACCESS_USE
    EXPECT_NE(rig.monitor.Printer(), 0u);
}

TEST_F(Discovery, AStandardUsersMonitorWatchesTheQueueAndItsPort) {
    // A standard user may use the queue (PRINTER_READ) and read HKLM (KEY_READ).
    rig.spooler.grantedAccess = 0x20008;
    rig.registry.grantedAccess = 0x20019;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    EXPECT_EQ(rig.window.title, "Ready");
    rig.Move("USB001");
    rig.Second();  // the moved queue is noticed and rediscovered
    EXPECT_EQ(rig.window.restarts, 1);
    EXPECT_EQ(rig.monitor.PortKind(), "USB");
    EXPECT_TRUE(rig.monitor.Monitoring());
    rig.Second();
    EXPECT_EQ(rig.window.title, "Communication Error");
    for (std::uint32_t access : rig.registry.accesses) EXPECT_EQ(access, 0x20019u);  // KEY_READ
}

TEST_F(Discovery, MissingQueueShowsTheNotInstalledDisplay) {
    rig.spooler.installed = false;
    rig.window.message = "Ready to print.";
    rig.window.control = "typed into the control";
    EXPECT_FALSE(rig.Init());
    EXPECT_EQ(rig.window.title, "No Printer Found");
    EXPECT_EQ(rig.window.message, kName + " not installed.");
    EXPECT_EQ(rig.window.control, "KLR VX 7 Ember not installed.");
    EXPECT_EQ(rig.window.picture, Picture::Error);
    EXPECT_EQ(rig.window.reads, 1);  // taken from the controls first
    EXPECT_EQ(rig.window.writes, 1);
    EXPECT_FALSE(rig.window.visible);
    EXPECT_EQ(rig.monitor.Printer(), 0u);
    EXPECT_FALSE(rig.monitor.Monitoring());
}

TEST_F(Discovery, SecondOpenClosesThePreviousHandleFirst) {
    ASSERT_TRUE(rig.Init());
    PrinterHandle first = rig.monitor.Printer();
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_NE(rig.monitor.Printer(), first);
    ASSERT_EQ(rig.spooler.closed.size(), 1u);
    EXPECT_EQ(rig.spooler.closed[0], first);
    EXPECT_EQ(rig.spooler.open.size(), 1u);
    // Close comes before the second open.
    auto& c = rig.spooler.calls;
    auto close = std::find(c.begin(), c.end(), "close");
    EXPECT_EQ(std::count(close, c.end(), "open"), 1);
}

struct PortCase {
    const char* port;
    const char* kind;
    const char* key;  // g_strPortKey afterwards, starting from "before"
};

class PortClassification : public Discovery, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortClassification, KindAndPortKey) {
    g_strPortKey = "before";
    rig.spooler.portName = GetParam().port;
    ASSERT_TRUE(rig.Init());
    EXPECT_EQ(rig.monitor.PortName(), GetParam().port);
    EXPECT_EQ(rig.monitor.PortKind(), GetParam().kind);
    EXPECT_EQ(g_strPortKey, GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortClassification,
    ::testing::Values(PortCase{"LPT1:", "LPT", "(LPT1)"}, PortCase{"LPT2:", "LPT", "(LPT2)"},
                      PortCase{"LPT3:", "LPT", "(LPT3)"}, PortCase{"LPT4:", "LPT", "before"},
                      PortCase{"LPT1", "LPT", "before"}, PortCase{"lpt1:", "lpt1:", "before"},
                      PortCase{"LPT1:,USB001", "LPT", "before"},
                      PortCase{"USB001", "USB", "before"}, PortCase{"COM2:", "COM", "before"},
                      PortCase{"FILE:", "FILE:", "before"},
                      PortCase{"192.168.0.9_IP", "192.168.0.9_IP", "before"}));

TEST_F(Discovery, ParallelPortArmsTimerOneAndOpensTheDriverOnlyOnTheNtFamily) {
    for (int platform : {2, 1}) {
        Rig r;
        r.spooler.portName = "LPT1:";
        r.port.platform = platform;
        ASSERT_TRUE(r.Init());
        EXPECT_EQ(g_nPlatform, platform);
        EXPECT_EQ(r.monitor.PortStatus(), -1);
        EXPECT_EQ(r.monitor.TimerId(), 1u);
        EXPECT_EQ(r.window.timers, std::set<unsigned>{1});
        EXPECT_EQ(r.port.calls, platform == 2
                                    ? (std::vector<std::string>{"platform", "driver", "find", "lookup"})
                                    : (std::vector<std::string>{"platform", "find", "lookup"}));
        EXPECT_EQ(r.port.keysSeen, std::vector<std::string>{"(LPT1)"});
    }
}

TEST_F(Discovery, UnusableInstrumentationLeavesTimerOneAsItWas) {
    ASSERT_TRUE(rig.Init());
    ASSERT_EQ(rig.monitor.TimerId(), 1u);
    rig.port.findResult = 1;
    rig.port.lookupResult = false;
    EXPECT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
    EXPECT_EQ(rig.window.timers.size(), 1u);
    EXPECT_EQ(rig.window.kills, 0);
    EXPECT_EQ(std::count(rig.port.calls.begin(), rig.port.calls.end(), "lookup"), 1);
}

TEST_F(Discovery, FailedLookupStillReportsTheQueueAndStopsTimerOne) {
    ASSERT_TRUE(rig.Init());
    rig.port.lookupResult = false;
    rig.Move("LPT2:");
    EXPECT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.monitor.TimerId(), 0u);
    EXPECT_TRUE(rig.window.timers.empty());
}

TEST_F(Discovery, TheHardwareLookupIsAskedOncePerPort) {
    g_wStatusPort = 0x379;  // what the lookup of LPT1: finds
    ASSERT_TRUE(rig.Init());
    g_wStatusPort = 0x279;  // and of LPT2:
    rig.Move("LPT2:");
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    rig.Move("LPT1:");
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());  // answered as before, without WMI
    EXPECT_EQ(std::count(rig.port.calls.begin(), rig.port.calls.end(), "find"), 2);
    EXPECT_EQ(g_wStatusPort, 0x379);
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
}

TEST_F(Discovery, RepeatedDiscoveryReArmsNeverTwoTimers) {
    ASSERT_TRUE(rig.Init());
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.window.arms, 3);
    EXPECT_EQ(rig.window.timers, std::set<unsigned>{1});
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
}

TEST_F(Discovery, UsbOrSerialPortStopsTimerOneAndResetsThePortStatus) {
    for (const char* port : {"USB001", "COM1:"}) {
        Rig r;
        ASSERT_TRUE(r.Init());
        r.monitor.OnPortTimer();
        ASSERT_EQ(r.monitor.PortStatus(), PORT_STATUS_READY);
        r.spooler.portName = port;
        ASSERT_TRUE(r.monitor.OpenModelPrinter());
        EXPECT_EQ(r.monitor.TimerId(), 0u) << port;
        EXPECT_TRUE(r.window.timers.empty()) << port;
        EXPECT_EQ(r.monitor.PortStatus(), -1) << port;
    }
}

TEST_F(Discovery, TimerKeepsItsIdWhenTheKillFails) {
    ASSERT_TRUE(rig.Init());
    rig.window.killFails = true;
    rig.spooler.portName = "USB001";
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
}

TEST_F(Discovery, OtherPortLeavesPortStatusAndTimerUntouched) {
    ASSERT_TRUE(rig.Init());
    rig.monitor.OnPortTimer();
    ASSERT_EQ(rig.monitor.PortStatus(), PORT_STATUS_READY);
    rig.port.calls.clear();
    rig.spooler.portName = "FILE:";
    ASSERT_TRUE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.monitor.PortKind(), "FILE:");
    EXPECT_EQ(rig.monitor.PortStatus(), PORT_STATUS_READY);
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
    EXPECT_EQ(rig.window.timers, std::set<unsigned>{1});
    EXPECT_TRUE(rig.port.calls.empty());
}

TEST_F(Discovery, SizeQueryUsesTenBytesAndLogsTheAllocation) {
    rig.spooler.portName = "COM1:";
    ASSERT_TRUE(rig.Init());
    ASSERT_FALSE(rig.spooler.querySizes.empty());
    EXPECT_EQ(rig.spooler.querySizes[0], 10u);
    ASSERT_EQ(rig.heap.lines.size(), 1u);
    EXPECT_EQ(rig.heap.lines[0], "Allocating a buffer of size 14");  // 8 + "COM1:" + 0
    EXPECT_GE(rig.window.writes, 1);
}

TEST_F(Discovery, PortRecordQueryFailuresLeaveTheDisplay) {
    rig.heap.fail = true;
    EXPECT_FALSE(rig.Init());
    EXPECT_EQ(rig.heap.lines,
              (std::vector<std::string>{"Allocating a buffer of size 14",
                                        "Can't get memory for new data buffer"}));
    EXPECT_EQ(rig.window.title, "Searching...");  // no display change

    Rig refused;
    refused.spooler.level5SizeQueryError = 5;
    EXPECT_FALSE(refused.Init());
    EXPECT_TRUE(refused.heap.lines.empty());
    EXPECT_EQ(refused.window.title, "Searching...");

    // A size query that succeeds gives no record and changes nothing.
    Rig odd;
    odd.spooler.level5SizeQuerySucceeds = true;
    EXPECT_TRUE(odd.Init());
    EXPECT_EQ(odd.monitor.PortKind(), "");
    EXPECT_EQ(odd.monitor.PortName(), "");
    EXPECT_TRUE(odd.heap.lines.empty());
}

TEST_F(Discovery, FailedPortReadEmptiesTheKindAndKeepsTheName) {
    ASSERT_TRUE(rig.Init());
    ASSERT_EQ(rig.monitor.PortKind(), "LPT");
    rig.spooler.level5ReadFails = true;
    EXPECT_FALSE(rig.monitor.OpenModelPrinter());
    EXPECT_EQ(rig.monitor.PortKind(), "");
    EXPECT_EQ(rig.monitor.PortName(), "LPT1:");
    EXPECT_EQ(rig.window.title, "Searching...");
}

// PortChanged

TEST_F(Discovery, PublishedValueDecidesWhetherTheQueueMoved) {
    // The equal name: the key is read as a multi-string and closed again.
    ASSERT_TRUE(rig.Init());
    rig.registry.Publish("LPT1:");
    rig.Second();
    EXPECT_EQ(rig.window.restarts, 0);
    EXPECT_EQ(rig.registry.typesPassed.back(), 7u);
    EXPECT_TRUE(rig.registry.openKeys.empty());
    struct Case {
        const char* what;
        std::string queuePort;
        std::optional<std::string> value;  // raw bytes; none: no value
        long openError;
        int restarts;
    };
    const Case cases[] = {
        {"unopenable key", "LPT1:", std::string("COM1:", 6), 5, 0},
        {"missing value", "LPT1:", std::nullopt, 0, 1},
        {"another port", "LPT1:", std::string("COM1:", 6), 0, 1},
        {"a pooled queue's ports, joined", "LPT1:,USB001", std::string("LPT1:\0USB001\0\0", 14), 0, 0},
        {"a second string is a change", "LPT1:", std::string("LPT1:\0USB001\0", 13), 0, 1},
        {"no terminator", std::string(20, 'P'), std::string(20, 'P'), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        r.spooler.portName = c.queuePort;
        ASSERT_TRUE(r.Init());
        r.registry.Unpublish();
        if (c.value)
            r.registry.keys[DsSpoolerKey()]["portName"] =
                std::vector<std::uint8_t>(c.value->begin(), c.value->end());
        r.registry.openError = c.openError;
        r.Second();
        EXPECT_EQ(r.window.restarts, c.restarts);
        if (c.restarts == 0) {
            EXPECT_NE(r.monitor.LastRule(), 0);
        }
    }
}

TEST_F(Discovery, JoinedMultiStrings) {
    auto join = [](const std::string& bytes) {
        return JoinMultiString(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    };
    EXPECT_EQ(join(std::string("LPT1:\0LPT2:\0\0", 13)), "LPT1:,LPT2:");
    EXPECT_EQ(join(std::string("IP_192.168.100.123_1\0\0", 22)), "IP_192.168.100.123_1");
    EXPECT_EQ(join(std::string("\0LPT1:\0", 7)), "");  // the empty string ends the list
    EXPECT_EQ(join(""), "");
}

TEST_F(Discovery, DsSpoolerKeyNamesTheModelQueue) {
    EXPECT_EQ(DsSpoolerKey(),
              "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\KLR VX 7 Ember\\DsSpooler");
}

}  // namespace

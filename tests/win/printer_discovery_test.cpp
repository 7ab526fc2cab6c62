// The monitor against the system's spooler and registry: a queue named as
// the model, created by the test on a local port, with a recording window.
#include <gtest/gtest.h>

#include <cstdio>

#include "catalogue/model_catalogue.h"
#include "native/monitor_fakes.h"
#include "common/registry.h"
#include "statmon/printer/spooler.h"
#include "statmon/ui/monitor.h"
#include "win/testdriver/test_queue.h"

using namespace statmon;

namespace {

const std::string kName = catalogue::Target().DisplayName;

class RealSpooler : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testqueue::DeleteTestQueue(kName));
        window.onRestart = [this] {
            ++restarts;
            window.ReadControls();
            workerRunning = monitor.OpenModelPrinter();
        };
    }
    void TearDown() override {
        // The monitor's queue handle is closed first, then the queue deleted.
        owned.reset();
        EXPECT_TRUE(testqueue::DeleteTestQueue(kName));
    }
    void CreateQueue(const std::string& port) {
        std::string error;
        ASSERT_TRUE(testqueue::CreateTestQueue(kName, port, &error)) << error;
    }
    void Tick() {
        if (window.timers.count(1)) monitor.OnPortTimer();
        if (workerRunning) monitor.OnStatusTick();
    }

    std::unique_ptr<ISpooler> spooler = CreateSpooler();
    std::unique_ptr<common::IRegistryReader> registry = common::CreateRegistry();
    monfakes::FakeWindow window;
    monfakes::FakePort port;
    monfakes::FakeHeap heap;
    std::unique_ptr<Monitor> owned = [this] {
        auto m = std::make_unique<Monitor>(window, *spooler, *registry, port);
        m->SetSpoolHeap(heap);
        return m;
    }();
    Monitor& monitor = *owned;
    bool workerRunning = false;
    int restarts = 0;
};

TEST_F(RealSpooler, MissingPrinterShowsNotInstalled) {
    monitor.ResetPortState();
    EXPECT_FALSE(monitor.OpenModelPrinter());
    EXPECT_EQ(window.title, "No Printer Found");
    EXPECT_EQ(window.control, kName + " not installed.");
    EXPECT_EQ(window.picture, Picture::Error);
    EXPECT_EQ(monitor.Printer(), 0u);
}

TEST_F(RealSpooler, SerialQueueIsReady) {
    CreateQueue("COM1:");
    monitor.ResetPortState();
    ASSERT_TRUE(monitor.OpenModelPrinter());
    workerRunning = true;
    EXPECT_EQ(monitor.PortName(), "COM1:");
    EXPECT_EQ(monitor.PortKind(), "COM");
    EXPECT_EQ(monitor.TimerId(), 0u);
    ASSERT_FALSE(heap.lines.empty());
    EXPECT_EQ(heap.lines[0].rfind("Allocating a buffer of size ", 0), 0u);

    Tick();
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(monitor.JobStatus(), -1);
    EXPECT_EQ(window.title, "Ready");
    EXPECT_EQ(window.control, "Ready to print.");
    EXPECT_EQ(window.picture, Picture::Info);
    EXPECT_EQ(monitor.ShownState(), -1);
    // The queue poll read PRINTER_INFO_2 through its two-call pattern.
    bool polled = false;
    for (const auto& line : heap.lines) polled |= line.find("size") != std::string::npos;
    EXPECT_TRUE(polled);
}

TEST_F(RealSpooler, ParallelQueueArmsTimerOneWhenTheRegisterIsFound) {
    CreateQueue("LPT1:");
    g_strPortKey.clear();
    port.lookupResult = true;
    port.status = PORT_STATUS_READY;
    window.onRestart = nullptr;
    monitor.ResetPortState();
    ASSERT_TRUE(monitor.OpenModelPrinter());
    workerRunning = true;
    EXPECT_EQ(monitor.PortKind(), "LPT");
    EXPECT_EQ(g_strPortKey, "(LPT1)");
    EXPECT_EQ(monitor.TimerId(), 1u);
    for (int i = 0; i < 4; ++i) Tick();
    EXPECT_EQ(monitor.ShownState(), 2000);
    EXPECT_EQ(window.control, "Ready to print.\n(Window will minimize in 2sec...)");
}

TEST_F(RealSpooler, PublishedPortChangeRediscoversOnTheNextTick) {
    CreateQueue("COM1:");
    monitor.ResetPortState();
    ASSERT_TRUE(monitor.OpenModelPrinter());
    workerRunning = true;

    ASSERT_TRUE(testqueue::PublishPortName(kName, "COM1:"));
    Tick();
    EXPECT_EQ(restarts, 0);
    ASSERT_EQ(monitor.ShownState(), -1);

    // The queue is moved; the spooler publishes its new port.
    bool moved = testqueue::SetQueuePort(kName, "COM2:");
    ASSERT_TRUE(testqueue::PublishPortName(kName, "COM2:"));
    int writes = window.writes;
    Tick();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(window.writes, writes + 1);  // discovery's refresh only: no evaluation
    EXPECT_TRUE(workerRunning);
    EXPECT_NE(monitor.Printer(), 0u);  // re-opened (Wine may hand out the same value)
    if (moved) {
        EXPECT_EQ(monitor.PortName(), "COM2:");
        Tick();
        EXPECT_EQ(restarts, 1);  // settled
        EXPECT_EQ(window.title, "Ready");
    } else {
        // SetPrinterA could not move the queue: the spooler still reports COM1:.
        std::printf("note: SetPrinterA level 2 did not move the queue\n");
        EXPECT_EQ(monitor.PortName(), "COM1:");
    }
}

TEST_F(RealSpooler, MissingDsSpoolerKeyMeansNothingChanged) {
    CreateQueue("COM1:");
    monitor.ResetPortState();
    ASSERT_TRUE(monitor.OpenModelPrinter());
    workerRunning = true;
    std::string key = DsSpoolerKey();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    Tick();
    Tick();
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(window.title, "Ready");
}

}  // namespace

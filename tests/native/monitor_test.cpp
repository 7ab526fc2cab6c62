// The tick handler as a whole: port-change check first, restart flow,
// port timer, initial state.
#include <gtest/gtest.h>

#include <algorithm>

#include "native/monitor_fakes.h"

using namespace statmon;
using monfakes::Rig;

namespace {

TEST(Monitor, StartsWithNoJobUnknownPortAndNothingShown) {
    Rig rig;
    EXPECT_EQ(rig.monitor.JobStatus(), -1);
    EXPECT_EQ(rig.monitor.PortStatus(), -1);
    EXPECT_EQ(rig.monitor.TimerId(), 0u);
    EXPECT_EQ(rig.monitor.ShownState(), 0);
    EXPECT_FALSE(rig.monitor.UsbPresent());
    rig.monitor.SetUsbPresent(true);
    EXPECT_TRUE(rig.monitor.UsbPresent());
}

TEST(Monitor, PortChangeRestartsAndSkipsEvaluation) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    ASSERT_EQ(rig.monitor.ShownState(), -1);

    // The queue is moved to a parallel port whose printer is out of paper.
    rig.Move("LPT1:");
    rig.port.status = PORT_STATUS_PAPER_OUT;
    rig.spooler.calls.clear();
    int writes = rig.window.writes;
    rig.Second();
    EXPECT_EQ(rig.window.restarts, 1);
    EXPECT_EQ(rig.monitor.LastRule(), 0);
    EXPECT_EQ(rig.monitor.ShownState(), -1);  // not evaluated
    EXPECT_EQ(std::count(rig.spooler.calls.begin(), rig.spooler.calls.end(), "get2"), 0);
    EXPECT_EQ(rig.monitor.PortKind(), "LPT");
    EXPECT_EQ(rig.monitor.TimerId(), 1u);
    EXPECT_EQ(rig.window.writes, writes + 1);  // only discovery's refresh

    rig.Second();  // timer reads paper out, then the tick evaluates
    EXPECT_EQ(rig.monitor.ShownState(), 3000);
    EXPECT_EQ(rig.window.restarts, 1);
}

TEST(Monitor, RestartWithTheQueueGoneStopsTicks) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.spooler.installed = false;
    rig.registry.Publish("COM2:");
    rig.Second();
    EXPECT_FALSE(rig.workerRunning);
    EXPECT_EQ(rig.window.title, "No Printer Found");
    EXPECT_EQ(rig.window.control, "KLR VX 7 Ember not installed.");
    EXPECT_EQ(rig.window.picture, Picture::Error);
    rig.Seconds(3);  // no worker: no ticks, nothing changes
    EXPECT_EQ(rig.window.restarts, 1);
    EXPECT_EQ(rig.window.title, "No Printer Found");

    // The next show command retries.
    rig.spooler.installed = true;
    rig.spooler.portName = "COM2:";
    rig.ShowCommand();
    EXPECT_TRUE(rig.workerRunning);
    rig.Seconds(4);
    EXPECT_EQ(rig.window.title, "Ready");
}

TEST(Monitor, TicksLeftQueuedByAFailedRestartChangeNothing) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    rig.spooler.installed = false;
    rig.ShowCommand();  // the Searching phase begins; the restart cannot open the queue
    ASSERT_FALSE(rig.workerRunning);
    rig.spooler.calls.clear();
    for (int i = 0; i < 4; ++i) rig.monitor.OnStatusTick();  // posted before the worker stopped
    EXPECT_EQ(rig.window.title, "No Printer Found");
    EXPECT_EQ(rig.window.control, "KLR VX 7 Ember not installed.");
    EXPECT_TRUE(rig.spooler.calls.empty());

    rig.spooler.installed = true;  // the next show command searches, then shows the state
    rig.ShowCommand();
    rig.Seconds(4);
    EXPECT_EQ(rig.window.title, "Ready");
}

TEST(Monitor, PortTimerStoresTheDecodedStatus) {
    Rig rig;
    rig.port.status = PORT_STATUS_OFFLINE;
    rig.monitor.OnPortTimer();
    EXPECT_EQ(rig.monitor.PortStatus(), PORT_STATUS_OFFLINE);
    rig.monitor.ResetPortState();
    EXPECT_EQ(rig.monitor.PortStatus(), -1);
    EXPECT_EQ(rig.monitor.TimerId(), 0u);
}

TEST(Monitor, ShowCommandsNeverStackWorkersOrTimers) {
    Rig rig;
    rig.Move("LPT1:");
    ASSERT_TRUE(rig.Init());
    for (int i = 0; i < 4; ++i) rig.ShowCommand();
    EXPECT_EQ(rig.window.timers, std::set<unsigned>{1});
    EXPECT_EQ(rig.spooler.open.size(), 1u);  // earlier handles closed
    EXPECT_TRUE(rig.workerRunning);
}

TEST(Monitor, QueueHandleIsClosedWithTheMonitor) {
    monfakes::FakeWindow window;
    monfakes::FakeSpooler spooler;
    monfakes::FakeRegistry registry;
    monfakes::FakePort port;
    monfakes::FakeHeap heap;
    {
        Monitor monitor(window, spooler, registry, port);
        monitor.SetSpoolHeap(heap);
        ASSERT_TRUE(monitor.OpenModelPrinter());
        EXPECT_EQ(spooler.open.size(), 1u);
    }
    EXPECT_TRUE(spooler.open.empty());
}

TEST(SpoolHeap, RecordBufferLinesAndFailure) {
    monfakes::FakeHeap heap;
    auto buffer = AllocateRecordBuffer(heap, 120);
    EXPECT_NE(buffer, nullptr);
    heap.fail = true;
    EXPECT_EQ(AllocateRecordBuffer(heap, 7), nullptr);
    EXPECT_EQ(heap.lines, (std::vector<std::string>{"Allocating a buffer of size 120",
                                                    "Allocating a buffer of size 7",
                                                    "Can't get memory for new data buffer"}));
}

TEST(SpoolHeap, ProcessHeapWritesLinesToStandardOutput) {
    ::testing::internal::CaptureStdout();
    auto buffer = AllocateRecordBuffer(ProcessSpoolHeap(), 64);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(buffer, nullptr);
    EXPECT_EQ(out, "Allocating a buffer of size 64\n");
}

}  // namespace

// The tick handler as a whole: port-change check first, restart flow,
// port timer, initial state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

TEST(Monitor, AQueueGoneIsLookedForQuietlyAndDrawnAgainWhenBack) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    ASSERT_EQ(rig.window.title, "Ready");
    rig.spooler.installed = false;
    rig.registry.Publish("COM2:");
    rig.Second();  // the restart finds no queue
    EXPECT_FALSE(rig.monitor.Monitoring());
    EXPECT_EQ(rig.window.title, "No Printer Found");
    EXPECT_EQ(rig.window.control, "KLR VX 7 Ember not installed.");
    EXPECT_EQ(rig.window.picture, Picture::Error);

    // Tries again every few ticks without a word: no texts, no pop-up.
    rig.spooler.calls.clear();
    const int titles = rig.window.titleWrites, shows = rig.window.shows;
    rig.Seconds(3 * kQuietRetryTicks);
    EXPECT_EQ(std::count(rig.spooler.calls.begin(), rig.spooler.calls.end(), "open"), 3);
    EXPECT_EQ(rig.window.titleWrites, titles);
    EXPECT_EQ(rig.window.shows, shows);

    // Added back (on another port): watched again within a few seconds and
    // "Ready" drawn again, though it was shown before the queue went.
    rig.spooler.installed = true;
    rig.Move("COM2:");
    rig.Seconds(kQuietRetryTicks + 1);
    EXPECT_TRUE(rig.monitor.Monitoring());
    EXPECT_EQ(rig.monitor.PortName(), "COM2:");
    EXPECT_EQ(rig.window.title, "Ready");
    EXPECT_EQ(rig.window.control, "Ready to print.");
    EXPECT_EQ(rig.spooler.open.size(), 1u);
}

TEST(Monitor, AQueuePendingDeletionIsGoneAndItsHandleClosed) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    rig.spooler.status = kPrinterStatusPendingDeletion;
    rig.Second();
    EXPECT_TRUE(rig.spooler.open.empty()) << "our handle would keep the deleted queue alive";
    EXPECT_FALSE(rig.monitor.Monitoring());
    EXPECT_EQ(rig.window.title, "No Printer Found");
    EXPECT_FALSE(rig.window.visible);
}

TEST(Monitor, PollsFailingInARowReopenTheQueueWithABackOff) {
    Rig rig;
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Second();
    rig.spooler.level2ReadFails = true;  // the spooler no longer knows the handle
    std::vector<int> restartTicks;
    for (int tick = 1; tick <= 30; ++tick) {
        int before = rig.window.restarts;
        rig.Second();
        if (rig.window.restarts != before) restartTicks.push_back(tick);
    }
    EXPECT_EQ(restartTicks, (std::vector<int>{3, 9, 21})) << "after 3, then 6, then 12 failures";
    EXPECT_EQ(rig.spooler.open.size(), 1u) << "each restart closes the old handle";
    EXPECT_TRUE(rig.monitor.Monitoring());

    rig.spooler.level2ReadFails = false;  // answers again: the back-off starts over
    rig.Second();
    rig.spooler.level2ReadFails = true;
    int before = rig.window.restarts;
    rig.Seconds(kFailedPollsBeforeRestart);
    EXPECT_EQ(rig.window.restarts, before + 1);
}

TEST(Monitor, ALongOrPooledPortNameIsWatchedWithoutRestarting) {
    for (const char* port : {"IP_192.168.100.123_1", "COM1:,COM2:"}) {
        Rig rig;
        rig.spooler.portName = port;
        std::vector<std::uint8_t> published(port, port + std::strlen(port) + 1);
        for (auto& c : published) if (c == ',') c = 0;  // a pooled queue publishes its ports apart
        published.push_back(0);
        rig.registry.keys[DsSpoolerKey()]["portName"] = published;
        ASSERT_TRUE(rig.Init());
        rig.Seconds(5);
        EXPECT_EQ(rig.window.restarts, 0) << port;
        EXPECT_EQ(rig.window.title, "Ready") << port;
    }
}

TEST(Monitor, APublishedNameThatNeverMatchesRestartsOnceOnly) {
    Rig rig;
    rig.spooler.portName = "COM1:";
    rig.registry.Publish("COM1");  // named otherwise than the queue's record
    ASSERT_TRUE(rig.Init());
    rig.Seconds(6);
    EXPECT_EQ(rig.window.restarts, 1);
    EXPECT_EQ(rig.window.title, "Ready");
    rig.Move("USB001");  // a real move later is still followed
    rig.Second();
    EXPECT_EQ(rig.window.restarts, 2);
    EXPECT_EQ(rig.monitor.PortKind(), "USB");
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

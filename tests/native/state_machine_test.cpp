// The tick's status evaluation: the queue poll and every display rule,
// played through the monitor with a scripted queue, port and window.
#include <gtest/gtest.h>

#include <algorithm>

#include "native/monitor_fakes.h"

using namespace statmon;
using monfakes::Rig;

namespace {

const std::string kComm =
    "Check all connections and make sure all device is turned ON.\n"
    "If the power was turned off during printing, cancel the print job.";
const std::string kComm1 =
    "Check all connections and make sure all device is turned ON. "
    "If the power was turned off during printing, cancel the print job.";
const std::string kPaper = "Please insert the Paper.";
const std::string kOffline = "Press the Online button once to make the printer ONLINE.";
const std::string kUsb =
    "Printer is not connected or switched OFF.\n"
    "Ensure USB cable is connected properly and the printer is switched ON.";
const std::string kPrinting = "Printing...\n(Window will minimize in 2sec...)";
const std::string kReadyHide = "Ready to print.\n(Window will minimize in 2sec...)";
const std::string kReady = "Ready to print.";

class Rules : public ::testing::Test {
protected:
    // A queue on `port`, opened as at start-up; the port reports `status`.
    void Start(const std::string& port, int status = PORT_STATUS_READY) {
        rig.Move(port);
        rig.port.status = status;
        ASSERT_TRUE(rig.Init());
    }
    void Jobs(std::vector<std::uint32_t> jobs) { rig.spooler.jobs = std::move(jobs); }
    void Tick() { rig.Second(); }
    void Ticks(int n) { rig.Seconds(n); }
    int State() const { return rig.monitor.ShownState(); }
    const std::string& Title() const { return rig.window.title; }
    const std::string& Shown() const { return rig.window.control; }

    Rig rig;
};

// Rule 18 and the serial/network queue.

TEST_F(Rules, SerialQueueIdleIsReadyWithoutAutomaticHide) {
    Start("COM1:");
    rig.window.visible = true;
    Tick();
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(Title(), "Ready");
    EXPECT_EQ(Shown(), kReady);
    EXPECT_EQ(rig.window.picture, Picture::Info);
    Ticks(10);
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(rig.window.hides, 0);
    EXPECT_EQ(rig.window.titleWrites, 1);  // written once, on entry
}

TEST_F(Rules, NetworkQueueIdleIsReady) {
    Start("IP_10.0.0.5");
    Tick();
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(Shown(), kReady);
    EXPECT_EQ(rig.window.shows, 0);
}

TEST_F(Rules, UnnamedJobStatusOnSerialQueueLeavesTheDisplay) {
    Start("COM1:");
    Tick();
    Jobs({0x10});
    rig.window.message = "unchanged";
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 0x10);
    EXPECT_EQ(rig.monitor.LastRule(), 0);
    EXPECT_EQ(Shown(), "unchanged");
    EXPECT_EQ(State(), -1);
}

// Rule 17.

TEST_F(Rules, ParallelIdleReadyHidesOnTheFourthTick) {
    Start("LPT1:", PORT_STATUS_READY);
    rig.window.visible = true;
    rig.window.allowShow = true;
    Ticks(3);
    EXPECT_EQ(State(), 2000);
    EXPECT_EQ(Title(), "Ready");
    EXPECT_EQ(Shown(), kReadyHide);
    EXPECT_EQ(rig.window.picture, Picture::Info);
    EXPECT_TRUE(rig.window.visible);
    Tick();
    EXPECT_FALSE(rig.window.visible);
    EXPECT_TRUE(rig.window.allowShow);  // the permission stays
    Ticks(10);
    EXPECT_EQ(rig.window.hides, 1);  // once per entry
    EXPECT_EQ(rig.window.titleWrites, 1);
}

// Rule 10 and its counter.

TEST_F(Rules, ParallelIdleSwitchedOffShowsCommErrorOnTheEighthTick) {
    for (int status : {PORT_STATUS_NO_RESPONSE, PORT_STATUS_UNKNOWN}) {
        Rig r;
        r.Move("LPT1:");
        r.port.status = status;
        ASSERT_TRUE(r.Init());
        r.Seconds(7);
        EXPECT_EQ(r.monitor.ShownState(), 0) << status;
        EXPECT_EQ(r.monitor.Vars().nIdleCommTicks, 7);
        r.Second();
        EXPECT_EQ(r.monitor.ShownState(), 1000) << status;
        EXPECT_EQ(r.window.title, "Communication Error");
        EXPECT_EQ(r.window.control, kComm);
        EXPECT_EQ(r.window.picture, Picture::Error);
        EXPECT_EQ(r.window.shows, 0);
        EXPECT_FALSE(r.window.visible);
        EXPECT_EQ(r.monitor.Vars().nIdleCommTicks, 0);
    }
}

TEST_F(Rules, PaperOutAndOfflineTicksKeepTheIdleCount) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Ticks(4);
    rig.port.status = PORT_STATUS_PAPER_OUT;
    Tick();
    EXPECT_EQ(State(), 3000);
    EXPECT_EQ(Title(), "Paper-Out Error");
    EXPECT_EQ(Shown(), kPaper);
    rig.port.status = PORT_STATUS_OFFLINE;
    Tick();
    EXPECT_EQ(State(), 4000);
    EXPECT_EQ(Title(), "Printer OFFLINE Error");
    EXPECT_EQ(Shown(), kOffline);
    EXPECT_EQ(rig.window.shows, 0);  // neither pops up
    rig.port.status = PORT_STATUS_NO_RESPONSE;
    Ticks(3);
    EXPECT_EQ(State(), 4000);
    Tick();  // the eighth tick of rule 10
    EXPECT_EQ(State(), 1000);
}

TEST_F(Rules, EnteringReadyResetsTheIdleCount) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Ticks(6);
    rig.port.status = PORT_STATUS_READY;
    Tick();
    EXPECT_EQ(State(), 2000);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
    rig.port.status = PORT_STATUS_NO_RESPONSE;
    Ticks(7);
    EXPECT_EQ(State(), 2000);
    Tick();
    EXPECT_EQ(State(), 1000);
}

TEST_F(Rules, EnteringUsbAbsentOrReadyResetsAllCounters) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Ticks(6);
    // The queue moves to USB with the printer unplugged: state 20.
    rig.Move("USB001");
    Tick();  // restart
    Tick();
    EXPECT_EQ(State(), 20);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
    // And to a serial port: state -1 also resets.
    rig.Move("LPT1:");
    Tick();
    rig.port.status = PORT_STATUS_NO_RESPONSE;
    Ticks(5);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 5);
    rig.Move("COM1:");
    Ticks(2);
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
}

// Rules 3 to 6: a retained job printing on a parallel port.

TEST_F(Rules, PaperOutWhileRetainedJobPrintsPopsUpAtOnce) {
    Start("LPT1:", PORT_STATUS_READY);
    Jobs({8208});
    Tick();
    rig.port.status = PORT_STATUS_PAPER_OUT;
    rig.window.visible = false;
    rig.window.allowShow = false;
    Tick();
    EXPECT_EQ(State(), 3001);
    EXPECT_EQ(Title(), "Paper-Out Error");
    EXPECT_EQ(Shown(), kPaper);
    EXPECT_EQ(rig.window.picture, Picture::Error);
    EXPECT_TRUE(rig.window.visible);
    EXPECT_TRUE(rig.window.allowShow);
    // The user hides it: staying in the state does not pop it up again.
    rig.window.visible = false;
    Ticks(3);
    EXPECT_FALSE(rig.window.visible);
    EXPECT_EQ(rig.window.shows, 1);
}

TEST_F(Rules, OfflineWhileRetainedJobPrintsPopsUp) {
    Start("LPT1:", PORT_STATUS_OFFLINE);
    Jobs({8208});
    Tick();
    EXPECT_EQ(State(), 4001);
    EXPECT_EQ(Title(), "Printer OFFLINE Error");
    EXPECT_EQ(Shown(), kOffline);
    EXPECT_TRUE(rig.window.visible);
}

TEST_F(Rules, SwitchedOffWhileRetainedJobPrintsPopsUpOnTheFifthTick) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Jobs({8208});
    Ticks(4);
    EXPECT_FALSE(rig.window.visible);
    EXPECT_EQ(State(), 0);
    Tick();
    EXPECT_EQ(State(), 1001);
    EXPECT_EQ(Title(), "Communication Error");
    EXPECT_EQ(Shown(), kComm);
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(rig.monitor.Vars().nPrintCommTicks, 0);
    // Counting goes on in the state, without writing again; it wraps past 5.
    rig.window.visible = false;
    Ticks(6);
    EXPECT_FALSE(rig.window.visible);
    EXPECT_EQ(rig.window.shows, 1);
    EXPECT_EQ(rig.monitor.Vars().nPrintCommTicks, 0);
}

TEST_F(Rules, RetainedJobPrintingHidesAndWithdrawsThePermission) {
    Start("LPT1:", PORT_STATUS_READY);
    Jobs({8208});
    rig.window.visible = true;
    rig.window.allowShow = true;
    Tick();
    EXPECT_EQ(State(), 16);
    EXPECT_EQ(Title(), "Printing");
    EXPECT_EQ(Shown(), kPrinting);
    EXPECT_EQ(rig.window.picture, Picture::Info);
    Ticks(2);
    EXPECT_TRUE(rig.window.visible);
    Tick();
    EXPECT_FALSE(rig.window.visible);
    EXPECT_FALSE(rig.window.allowShow);
    Ticks(8);
    EXPECT_EQ(rig.window.hides, 1);
}

TEST_F(Rules, RetainedJobOnAnyOtherPortIsPrinting) {
    Start("USB001");
    rig.monitor.SetUsbPresent(true);
    Jobs({8208});
    Tick();
    EXPECT_EQ(State(), 16);
}

// Rule 7.

TEST_F(Rules, JobInErrorPopsUpWithTheOneLineMessage) {
    Start("COM1:");
    Jobs({18});
    Tick();
    EXPECT_EQ(State(), 18);
    EXPECT_EQ(Title(), "Communication Error");
    EXPECT_EQ(Shown(), kComm1);
    EXPECT_EQ(rig.window.picture, Picture::Error);
    EXPECT_TRUE(rig.window.visible);
}

// Rules 11 to 15: other active jobs on a parallel port.

TEST_F(Rules, PrintingPaperOutJobPopsUp) {
    Start("LPT1:", PORT_STATUS_PAPER_OUT);
    Jobs({80});
    Tick();
    EXPECT_EQ(State(), 3011);
    EXPECT_EQ(Shown(), kPaper);
    EXPECT_TRUE(rig.window.visible);
}

TEST_F(Rules, OtherActiveJobWithPaperOutDoesNotPopUp) {
    Start("LPT1:", PORT_STATUS_PAPER_OUT);
    Jobs({0x10});
    Tick();
    EXPECT_EQ(State(), 3010);
    EXPECT_EQ(Title(), "Paper-Out Error");
    EXPECT_FALSE(rig.window.visible);
}

TEST_F(Rules, PrintingOfflineJobPopsUp) {
    Start("LPT1:", PORT_STATUS_OFFLINE);
    Jobs({48});
    Tick();
    EXPECT_EQ(State(), 4011);
    EXPECT_EQ(Shown(), kOffline);
    EXPECT_TRUE(rig.window.visible);
}

TEST_F(Rules, OtherActiveJobOfflineDoesNotPopUp) {
    Start("LPT1:", PORT_STATUS_OFFLINE);
    Jobs({0x10});
    Tick();
    EXPECT_EQ(State(), 4010);
    EXPECT_EQ(Title(), "Printer OFFLINE Error");
    EXPECT_FALSE(rig.window.visible);
}

TEST_F(Rules, OtherActiveJobSwitchedOffShowsCommErrorOnTheFifthTick) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Jobs({0x10});
    Ticks(4);
    EXPECT_EQ(State(), 0);
    Tick();
    EXPECT_EQ(State(), 1010);
    EXPECT_EQ(Shown(), kComm);
    EXPECT_FALSE(rig.window.visible);
}

TEST_F(Rules, ActiveJobWithUnknownParallelStatusChangesNothing) {
    Start("LPT1:", PORT_STATUS_UNKNOWN);
    Jobs({0x10});
    Ticks(3);
    EXPECT_EQ(rig.monitor.LastRule(), 0);
    EXPECT_EQ(State(), 0);
}

// First match wins.

TEST_F(Rules, JobInErrorBeatsTheParallelPortRules) {
    Start("LPT1:", PORT_STATUS_PAPER_OUT);
    Jobs({18});
    Tick();
    EXPECT_EQ(State(), 18);
    EXPECT_EQ(rig.monitor.LastRule(), 7);
}

TEST_F(Rules, PaperOutJobOnAnOfflinePrinterIsTheOtherActiveJobRule) {
    Start("LPT1:", PORT_STATUS_OFFLINE);
    Jobs({80});
    Tick();
    EXPECT_EQ(State(), 4010);
    EXPECT_FALSE(rig.window.visible);
}

TEST_F(Rules, RetainedJobOnAnAbsentUsbPrinterIsStillPrinting) {
    Start("USB001");
    Jobs({8208});
    Tick();
    EXPECT_EQ(State(), 16);
}

// Rule 16.

TEST_F(Rules, UsbUnpluggedThenPluggedIn) {
    Start("USB001");
    rig.monitor.SetUsbPresent(false);
    Tick();
    EXPECT_EQ(State(), 20);
    EXPECT_EQ(Title(), "Communication Error");
    EXPECT_EQ(Shown(), kUsb);
    EXPECT_EQ(rig.window.picture, Picture::Error);
    EXPECT_FALSE(rig.window.visible);
    rig.monitor.SetUsbPresent(true);
    Tick();
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(Title(), "Ready");
    EXPECT_EQ(Shown(), kReady);
}

TEST_F(Rules, AbsentUsbPrinterOnlyMattersForAUsbQueue) {
    Start("COM1:");
    rig.monitor.SetUsbPresent(false);
    Tick();
    EXPECT_EQ(State(), -1);
}

// Rule 2.

TEST_F(Rules, PausedQueuePopsUpNamingTheModel) {
    Start("LPT1:", PORT_STATUS_READY);
    rig.spooler.status = 1;
    Jobs({8208});
    Tick();
    EXPECT_EQ(State(), 1);
    EXPECT_EQ(Title(), "Communication Error");
    EXPECT_EQ(Shown(),
              "\"Pause Printing\" is selected in KLR VX 7 Ember driver.\n"
              "Goto \"Printer and Faxes\" folder, right click and choose \"Resume Printing\"");
    EXPECT_EQ(rig.window.picture, Picture::Error);
    EXPECT_TRUE(rig.window.visible);
    EXPECT_EQ(rig.monitor.JobStatus(), -1);  // paused queue: jobs not examined
}

TEST_F(Rules, PausedWithAnotherBitIsNotRuleTwo) {
    Start("LPT1:", PORT_STATUS_READY);
    rig.spooler.status = 1 | 0x80;  // paused and offline
    Tick();
    EXPECT_EQ(State(), 2000);
}

// Rule 1.

TEST_F(Rules, SearchingForThreeTicksThenTheCurrentStateAgain) {
    Start("COM1:");
    Tick();
    ASSERT_EQ(State(), -1);
    int loads = rig.window.pictureLoads;
    rig.ShowCommand();
    EXPECT_TRUE(rig.window.visible);
    for (int i = 0; i < 3; ++i) {
        Tick();
        EXPECT_EQ(Title(), "Searching") << i;
        EXPECT_EQ(Shown(), "Searching the printer...") << i;
        EXPECT_EQ(rig.window.picture, Picture::None) << i;
        EXPECT_EQ(rig.monitor.LastRule(), 1);
    }
    EXPECT_EQ(State(), 0);
    EXPECT_FALSE(rig.monitor.Vars().bSearching);
    Tick();
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(Title(), "Ready");
    EXPECT_EQ(Shown(), kReady);
    EXPECT_EQ(rig.window.picture, Picture::Info);
    EXPECT_EQ(rig.window.pictureLoads, loads + 4);  // three clears and the reload
}

TEST_F(Rules, SearchingComesBeforeAPausedQueue) {
    Start("COM1:");
    rig.spooler.status = 1;
    rig.ShowCommand();
    Tick();
    EXPECT_EQ(Title(), "Searching");
    Ticks(2);
    Tick();
    EXPECT_EQ(State(), 1);
}

// The queue poll.

TEST_F(Rules, FaultBitsStopThePollBeforeTheJobs) {
    const std::uint32_t faults[] = {0x1, 0x2, 0x8, 0x10, 0x40, 0x80, 0x800, 0x1000,
                                    0x40000, 0x200000, 0x400000};
    std::uint32_t mask = 0;
    for (std::uint32_t bit : faults) {
        mask |= bit;
        Rig r;
        r.Move("COM1:");
        ASSERT_TRUE(r.Init());
        r.spooler.status = bit | (bit == 1 ? 0x2 : 0);  // not rule 2
        r.spooler.jobs = {8208};
        r.Second();
        EXPECT_EQ(r.monitor.JobStatus(), -1) << std::hex << bit;
        EXPECT_EQ(r.monitor.PrinterStatus(), r.spooler.status);
        EXPECT_EQ(r.monitor.ShownState(), -1);
    }
    EXPECT_EQ(mask, 0x6418DBu);
}

TEST_F(Rules, OtherQueueBitsStillLookAtTheJobs) {
    for (std::uint32_t bit : {0x4u, 0x20u, 0x100u, 0x400u, 0x4000u, 0x20000u, 0x80000u}) {
        Rig r;
        r.Move("COM1:");
        ASSERT_TRUE(r.Init());
        r.spooler.status = bit;
        r.spooler.jobs = {8208};
        r.Second();
        EXPECT_EQ(r.monitor.JobStatus(), 8208) << std::hex << bit;
    }
}

TEST_F(Rules, LastPrintingJobWins) {
    Start("COM1:");
    Jobs({0x10, 0x8, 8208, 0x1, 0x2010 | 0x4});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 0x2014);
    Jobs({8208, 0x8});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 8208);
}

TEST_F(Rules, JobWalkStopsAtAPrintingJobInError) {
    for (std::uint32_t stop : {0x2u, 0x40u, 0x200u}) {
        Rig r;
        r.Move("COM1:");
        ASSERT_TRUE(r.Init());
        r.spooler.jobs = {0x10, 0x10 | stop, 8208};
        r.Second();
        EXPECT_EQ(r.monitor.JobStatus(), static_cast<std::int32_t>(0x10 | stop)) << std::hex << stop;
    }
    // Not printing: the bit does not stop the walk.
    Start("COM1:");
    Jobs({0x2, 8208});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 8208);
}

TEST_F(Rules, JobsAreEnumeratedFromTheFirstForTheQueuesCount) {
    Start("COM1:");
    Jobs({0x8, 0x10, 0x1});
    Tick();
    ASSERT_FALSE(rig.spooler.enumCounts.empty());
    EXPECT_EQ(rig.spooler.enumCounts.back(), 3u);
    // Size queries use the 10-byte scratch buffer.
    for (std::uint32_t size : rig.spooler.querySizes) EXPECT_EQ(size, 10u);
    EXPECT_EQ(std::count(rig.heap.lines.begin(), rig.heap.lines.end(),
                         "Allocating a buffer of size 48"), 1);
}

TEST_F(Rules, QueueWithoutJobsIsNotEnumerated) {
    Start("COM1:");
    rig.spooler.calls.clear();
    Tick();
    EXPECT_EQ(std::count(rig.spooler.calls.begin(), rig.spooler.calls.end(), "enum"), 0);
    EXPECT_EQ(State(), -1);
}

TEST_F(Rules, FailedQueueReadKeepsThePrinterStatus) {
    Start("LPT1:", PORT_STATUS_PAPER_OUT);
    rig.spooler.status = 0x4;
    Jobs({0x10});
    Tick();
    ASSERT_EQ(rig.monitor.PrinterStatus(), 0x4u);
    ASSERT_EQ(State(), 3010);
    rig.spooler.status = 0x8;
    rig.spooler.level2ReadFails = true;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0x4u);
    EXPECT_EQ(rig.monitor.JobStatus(), -1);
    EXPECT_EQ(State(), 3000);  // decided from the port alone
}

TEST_F(Rules, QueueSizeQueryErrorOrNoMemoryEndsThePoll) {
    Start("COM1:");
    rig.spooler.level2SizeQueryError = 5;
    rig.spooler.status = 1;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0u);
    rig.spooler.level2SizeQueryError = 122;
    rig.heap.fail = true;
    rig.heap.lines.clear();
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0u);
    EXPECT_EQ(rig.heap.lines.back(), "Can't get memory for new data buffer");
    rig.heap.fail = false;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 1u);
}

TEST_F(Rules, FailedJobEnumerationLeavesThePrinterStatus) {
    Start("COM1:");
    rig.spooler.status = 1;
    Jobs({8208});
    rig.spooler.enumReadFails = true;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0u);
    EXPECT_EQ(rig.monitor.JobStatus(), -1);
    rig.spooler.enumReadFails = false;
    rig.spooler.enumSizeQueryError = 5;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0u);
}

TEST_F(Rules, FewerJobsThanCountedAreWalkedSafely) {
    Start("COM1:");
    rig.spooler.cJobsOverride = 5;
    Jobs({8208});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 8208);
}

// The message reaches its control on every evaluated tick.
TEST_F(Rules, MessageIsWrittenToItsControlEveryTick) {
    Start("COM1:");
    int writes = rig.window.writes;
    Ticks(3);
    EXPECT_EQ(rig.window.writes, writes + 3);
}

}  // namespace

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

TEST_F(Rules, EnteringReadyOrUsbAbsentResetsTheIdleCount) {
    Start("LPT1:", PORT_STATUS_NO_RESPONSE);
    Ticks(6);
    rig.port.status = PORT_STATUS_READY;
    Tick();
    EXPECT_EQ(State(), 2000);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
    rig.port.status = PORT_STATUS_NO_RESPONSE;
    Ticks(7);
    EXPECT_EQ(State(), 2000);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 7);
    // The queue moves to USB with the printer unplugged: state 20.
    rig.Move("USB001");
    Tick();  // restart
    Tick();
    EXPECT_EQ(State(), 20);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
    // And to a serial port: state -1 also resets.
    rig.Move("LPT1:");
    Tick();
    Ticks(5);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 5);
    rig.Move("COM1:");
    Ticks(2);
    EXPECT_EQ(State(), -1);
    EXPECT_EQ(rig.monitor.Vars().nIdleCommTicks, 0);
    // Back on the parallel port the count starts again: rule 10 on the eighth tick.
    rig.Move("LPT1:");
    Tick();
    Ticks(7);
    EXPECT_NE(State(), 1000);
    Tick();
    EXPECT_EQ(State(), 1000);
}

// Rules decided on one evaluation: the queue, port and jobs, and what the
// window then shows. A null text means only the state and rule are checked.
struct OneTick {
    const char* what;
    const char* port;
    int portStatus;
    std::uint32_t queueStatus;
    std::vector<std::uint32_t> jobs;
    int usb;  // -1 leave as started, else the USB presence
    int ticks;
    int state;
    int rule;  // -1: not checked
    const char* title;
    const std::string* text;
    Picture picture;
    bool visible;
};

TEST(RuleTable, EachCaseEndsInItsStateAndDisplay) {
    const OneTick cases[] = {
        {"network queue idle", "IP_10.0.0.5", PORT_STATUS_READY, 0, {}, -1, 1, -1, -1,
         "Ready", &kReady, Picture::Info, false},
        {"retained job, offline", "LPT1:", PORT_STATUS_OFFLINE, 0, {8208}, -1, 1, 4001, -1,
         "Printer OFFLINE Error", &kOffline, Picture::Error, true},
        {"retained job, present USB", "USB001", PORT_STATUS_READY, 0, {8208}, 1, 1, 16, -1,
         "Printing", &kPrinting, Picture::Info, false},
        {"retained job, absent USB", "USB001", PORT_STATUS_READY, 0, {8208}, -1, 1, 16, -1,
         nullptr, nullptr, Picture::None, false},
        {"job in error", "COM1:", PORT_STATUS_READY, 0, {18}, -1, 1, 18, 7,
         "Communication Error", &kComm1, Picture::Error, true},
        {"job in error beats paper-out", "LPT1:", PORT_STATUS_PAPER_OUT, 0, {18}, -1, 1, 18, 7,
         nullptr, nullptr, Picture::None, true},
        {"printing job, paper out", "LPT1:", PORT_STATUS_PAPER_OUT, 0, {80}, -1, 1, 3011, -1,
         "Paper-Out Error", &kPaper, Picture::Error, true},
        {"other active job, paper out", "LPT1:", PORT_STATUS_PAPER_OUT, 0, {0x10}, -1, 1, 3010, -1,
         "Paper-Out Error", &kPaper, Picture::Error, false},
        {"printing job, offline", "LPT1:", PORT_STATUS_OFFLINE, 0, {48}, -1, 1, 4011, -1,
         "Printer OFFLINE Error", &kOffline, Picture::Error, true},
        {"other active job, offline", "LPT1:", PORT_STATUS_OFFLINE, 0, {0x10}, -1, 1, 4010, -1,
         "Printer OFFLINE Error", &kOffline, Picture::Error, false},
        {"paper-out job on an offline printer", "LPT1:", PORT_STATUS_OFFLINE, 0, {80}, -1, 1, 4010,
         -1, nullptr, nullptr, Picture::None, false},
        {"other active job, switched off: four ticks", "LPT1:", PORT_STATUS_NO_RESPONSE, 0, {0x10},
         -1, 4, 0, -1, nullptr, nullptr, Picture::None, false},
        {"other active job, switched off: fifth tick", "LPT1:", PORT_STATUS_NO_RESPONSE, 0, {0x10},
         -1, 5, 1010, -1, "Communication Error", &kComm, Picture::Error, false},
        {"active job, unknown parallel status", "LPT1:", PORT_STATUS_UNKNOWN, 0, {0x10}, -1, 3, 0, 0,
         nullptr, nullptr, Picture::None, false},
        {"absent USB printer, serial queue", "COM1:", PORT_STATUS_READY, 0, {}, 0, 1, -1, -1,
         nullptr, nullptr, Picture::None, false},
        {"paused together with another bit", "LPT1:", PORT_STATUS_READY, 1 | 0x80, {}, -1, 1, 2000,
         -1, nullptr, nullptr, Picture::None, false},
    };
    for (const OneTick& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        r.Move(c.port);
        r.port.status = c.portStatus;
        ASSERT_TRUE(r.Init());
        if (c.usb >= 0) r.monitor.SetUsbPresent(c.usb != 0);
        r.spooler.status = c.queueStatus;
        r.spooler.jobs = c.jobs;
        r.Seconds(c.ticks);
        EXPECT_EQ(r.monitor.ShownState(), c.state);
        if (c.rule >= 0) {
            EXPECT_EQ(r.monitor.LastRule(), c.rule);
        }
        EXPECT_EQ(r.window.visible, c.visible);
        if (!c.text) continue;
        EXPECT_EQ(r.window.title, c.title);
        EXPECT_EQ(r.window.control, *c.text);
        EXPECT_EQ(r.window.picture, c.picture);
        if (!c.visible) {
            EXPECT_EQ(r.window.shows, 0);
        }
    }
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

TEST_F(Rules, OnlyTheFaultBitsStopThePollBeforeTheJobs) {
    std::uint32_t mask = 0;
    for (int n = 0; n < 23; ++n) {
        const std::uint32_t bit = 1u << n;
        if (bit == kPrinterStatusPendingDeletion) continue;  // the queue is gone
        Rig r;
        r.Move("COM1:");
        ASSERT_TRUE(r.Init());
        r.spooler.status = bit | (bit == 1 ? 0x2 : 0);  // not rule 2
        r.spooler.jobs = {8208};
        r.Second();
        EXPECT_EQ(r.monitor.PrinterStatus(), r.spooler.status) << std::hex << bit;
        if (r.monitor.JobStatus() == -1) {
            mask |= bit;
            EXPECT_EQ(r.monitor.ShownState(), -1) << std::hex << bit;
        } else {
            EXPECT_EQ(r.monitor.JobStatus(), 8208) << std::hex << bit;
        }
    }
    EXPECT_EQ(mask, 0x6418DBu);
}

TEST_F(Rules, LastPrintingJobWins) {
    Start("COM1:");
    Jobs({0x10, 0x8, 8208, 0x1, 0x2010 | 0x4});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 0x2014);
    Jobs({8208, 0x8});
    Tick();
    EXPECT_EQ(rig.monitor.JobStatus(), 8208);
    // Fewer jobs than the queue counts are walked safely.
    rig.spooler.cJobsOverride = 5;
    Jobs({8208});
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
    // A queue without jobs is not enumerated.
    Jobs({});
    rig.spooler.calls.clear();
    Tick();
    EXPECT_EQ(std::count(rig.spooler.calls.begin(), rig.spooler.calls.end(), "enum"), 0);
}

TEST_F(Rules, FailedQueueReadKeepsThePrinterStatus) {
    Start("LPT1:", PORT_STATUS_PAPER_OUT);
    rig.spooler.status = 0x200;  // PRINTER_STATUS_BUSY, no fault
    Jobs({0x10});
    Tick();
    ASSERT_EQ(rig.monitor.PrinterStatus(), 0x200u);
    ASSERT_EQ(State(), 3010);
    rig.spooler.status = 0x8;
    rig.spooler.level2ReadFails = true;
    Tick();
    EXPECT_EQ(rig.monitor.PrinterStatus(), 0x200u);
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

// The message reaches its control on every evaluated tick.
TEST_F(Rules, MessageIsWrittenToItsControlEveryTick) {
    Start("COM1:");
    int writes = rig.window.writes;
    Ticks(3);
    EXPECT_EQ(rig.window.writes, writes + 3);
}

}  // namespace

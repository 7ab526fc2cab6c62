// The monitoring on the worker and the window on the user-interface thread:
// what passes between them, and what the worker does on the window's behalf.
#include <gtest/gtest.h>

#include "native/monitor_fakes.h"
#include "native/port_fakes.h"
#include "statmon/printer/parallel_port_core.h"
#include "statmon/ui/watch_loop.h"

using namespace statmon;

namespace {

const std::string kModelPath =
    "\\\\?\\usb#vid_ffa7&pid_8246#vx7ember#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// USB printing interfaces present now: the model's printer or none.
struct Usb : IDeviceInterfaces {
    bool plugged = false;
    int scans = 0;
    DeviceInfoSet GetClassDevs(const InterfaceClass&, std::uint32_t) override { ++scans; return 1; }
    bool EnumDeviceInterfaces(DeviceInfoSet, const InterfaceClass&, std::uint32_t index,
                              DeviceInterfaceData*) override {
        return plugged && index == 0;
    }
    bool GetDeviceInterfaceDetail(DeviceInfoSet, const DeviceInterfaceData&, std::uint32_t size,
                                  std::string* path, std::uint32_t* needed) override {
        *needed = 200;
        if (size && path) *path = kModelPath;
        return size != 0;
    }
    bool DestroyDeviceInfoList(DeviceInfoSet) override { return true; }
    std::uint32_t LastError() const override { return 259; }
};

struct Loop {
    int asked = 0;
    DisplayMailbox mailbox{[this] { ++asked; }};
    monfakes::FakeSpooler spooler;
    monfakes::FakeRegistry registry;
    monfakes::FakePort port;
    Usb usb;
    WatchLoop loop{mailbox, spooler, registry, port, usb};
    Loop() { loop.GetMonitor().SetSpoolHeap(heap); }
    monfakes::FakeHeap heap;
};

}  // namespace

TEST(DisplayMailbox, OneAskPendingAndTheNewestOfEachChangeWins) {
    int asked = 0;
    DisplayMailbox mailbox([&asked] { ++asked; });
    mailbox.Flush();
    EXPECT_EQ(asked, 0) << "nothing changed, nothing to take";
    mailbox.SetTitle("Printing");
    mailbox.Show();
    mailbox.Flush();
    mailbox.SetTitle("Ready");  // the window is busy: more ticks, no more asks
    mailbox.SetAllowShow(false);
    mailbox.Hide();
    mailbox.Flush();
    EXPECT_EQ(asked, 1);
    DisplayChanges changes = mailbox.Take();
    EXPECT_EQ(changes.title, "Ready");
    EXPECT_EQ(changes.allowShow, false);
    EXPECT_EQ(changes.visibility, DisplayChanges::Visibility::Hide);
    EXPECT_FALSE(changes.message);
    EXPECT_TRUE(mailbox.Take().Empty());
    mailbox.SetMessage("Ready to print.");
    mailbox.Flush();
    EXPECT_EQ(asked, 2) << "taken: the next change asks again";
}

TEST(WatchLoop, TheWindowsRequestsAreCarriedOutInOrderOnTheNextTick) {
    Loop l;
    l.spooler.portName = "USB001";
    l.registry.Publish("USB001");
    l.usb.plugged = true;
    l.loop.Tick();  // the first tick opens the queue and scans
    EXPECT_EQ(l.spooler.opens, 1);
    DisplayChanges shown = l.mailbox.Take();
    EXPECT_EQ(shown.title, "Ready");
    EXPECT_EQ(shown.message, "Ready to print.");

    // Unplugged, then the show command: the notice, then Searching and the
    // restart (a fresh handle and a new scan, which finds it plugged again).
    common::DeviceNotice removed;
    removed.event = 0x8004;
    removed.hasRecord = true;
    removed.deviceType = 5;
    removed.name = "\\\\?\\USB#VID_FFA7&PID_8246#VX7EMBER#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    l.loop.PostNotice(removed);
    l.loop.RequestShow();
    EXPECT_EQ(l.spooler.opens, 1) << "nothing runs on the window's thread";
    l.loop.Tick();
    EXPECT_EQ(l.spooler.opens, 2);
    EXPECT_EQ(l.usb.scans, 2);
    EXPECT_EQ(l.mailbox.Take().title, "Searching");

    l.usb.plugged = false;  // unplugged while the machine slept
    l.loop.RequestResume();
    l.loop.Tick();
    EXPECT_EQ(l.usb.scans, 3);
    EXPECT_EQ(l.port.calls.back(), "reconnect");
}

TEST(WatchLoop, PortTimerOneIsReadOnTheWorkersTick) {
    Loop l;
    l.registry.Publish("LPT1:");
    l.port.status = PORT_STATUS_PAPER_OUT;
    l.loop.Tick();
    EXPECT_TRUE(l.loop.Window().PortTimerArmed());
    l.loop.Tick();
    EXPECT_EQ(l.loop.GetMonitor().PortStatus(), PORT_STATUS_PAPER_OUT);
    EXPECT_EQ(l.mailbox.Take().title, "Paper-Out Error");
}

TEST(ParallelPortStatus, FailingReadsReopenTheDriverWithABackOff) {
    PortPlatform platform;
    auto device = std::make_unique<fakes::FakeDevice>();
    fakes::FakeDevice& fake = *device;
    platform.device = std::move(device);
    platform.services = std::make_unique<fakes::FakeServices>();
    platform.store = std::make_unique<fakes::FakeStore>();
    ParallelPort port(std::move(platform));
    g_nPlatform = PLATFORM_NT;
    g_wStatusPort = 0x379;
    fake.controlSucceeds = false;  // the driver went away

    std::vector<int> reopened;
    for (int read = 1; read <= 20; ++read) {
        const std::size_t before = fake.calls.size();
        EXPECT_EQ(port.ReadPortStatus(), PORT_STATUS_UNKNOWN);
        if (fake.calls.size() != before) reopened.push_back(read);
    }
    EXPECT_EQ(reopened, (std::vector<int>{1, 3, 6, 11, 20}));

    fake.controlSucceeds = true;
    fake.ports[0x379] = 0xDF;
    EXPECT_EQ(port.ReadPortStatus(), PORT_STATUS_READY);
    fake.controlSucceeds = false;  // a new failure after a good read: reopened at once
    std::size_t before = fake.calls.size();
    port.ReadPortStatus();
    EXPECT_GT(fake.calls.size(), before);

    fake.controlSucceeds = true;
    port.Reconnect();  // resumed: reopened before the next read, good or not
    before = fake.calls.size();
    EXPECT_EQ(port.ReadPortStatus(), PORT_STATUS_READY);
    EXPECT_GT(fake.calls.size(), before);
    g_nPlatform = 0;
    g_wStatusPort = 0;
}

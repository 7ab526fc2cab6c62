// What the monitor writes to the event log: changes of the shown state,
// bounded per minute, ending on what the window shows.
#include <gtest/gtest.h>

#include "native/monitor_fakes.h"
#include "statmon/ui/status_events.h"

using namespace statmon;

namespace {

struct FakeLog : IEventLog {
    struct Entry {
        EventType type;
        std::uint32_t id;
        std::vector<std::string> strings;
    };
    std::vector<Entry> entries;
    bool registered = true;
    bool Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) override {
        if (!registered) return false;
        entries.push_back({type, id, strings});
        return true;
    }
    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const Entry& e : entries) ids.push_back(e.id);
        return ids;
    }
};

}  // namespace

TEST(StatusEvents, TheMonitorReportsEachShownChangeOnceWithQueuePortAndMessage) {
    FakeLog log;
    monfakes::Rig rig;
    rig.monitor.SetEventLog(&log);
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.Seconds(3);  // Ready after starting to watch: nothing more to say
    ASSERT_EQ(log.Ids(), (std::vector<std::uint32_t>{kEventWatching}));
    EXPECT_EQ(log.entries[0].type, EventType::Information);

    rig.spooler.status = 1;  // paused
    rig.Seconds(5);
    rig.ShowCommand();  // Searching, then the same state drawn again: no new event
    rig.Seconds(5);
    rig.spooler.status = 0;
    rig.spooler.jobs = {8208};  // printing is not told
    rig.Seconds(2);
    rig.spooler.jobs = {};
    rig.Seconds(3);
    ASSERT_EQ(log.Ids(), (std::vector<std::uint32_t>{kEventWatching, kEventPaused, kEventReady}));
    EXPECT_EQ(log.entries[1].type, EventType::Warning);
    EXPECT_EQ(log.entries[1].strings,
              (std::vector<std::string>{"KLR VX 7 Ember", "COM1:", PauseMessage()}));
    EXPECT_EQ(log.entries[2].type, EventType::Information);

    rig.spooler.installed = false;  // deleted: told once, as an error without a port
    rig.registry.Publish("COM2:");
    rig.Seconds(10);
    ASSERT_EQ(log.entries.size(), 4u);
    EXPECT_EQ(log.entries[3].id, kEventNotInstalled);
    EXPECT_EQ(log.entries[3].type, EventType::Error);
    EXPECT_EQ(log.entries[3].strings[1], "");
}

TEST(StatusEvents, AFlappingCableIsBoundedPerMinuteAndTheLogEndsOnTheShownState) {
    FakeLog log;
    StatusEvents events(&log);
    long tick = 0;
    for (int flap = 0; flap < 20; ++flap) {  // unplugged and plugged every second
        events.OnShown(ShownKind::UsbAbsent, "q", "USB001", "m", ++tick);
        events.OnShown(ShownKind::Ready, "q", "USB001", "m", ++tick);
    }
    events.OnShown(ShownKind::UsbAbsent, "q", "USB001", "m", ++tick);  // and stays unplugged
    EXPECT_EQ(log.entries.size(), static_cast<std::size_t>(kMaxEventsPerMinute));
    for (int i = 0; i < 70; ++i) events.OnTick(++tick);
    ASSERT_EQ(log.entries.size(), static_cast<std::size_t>(kMaxEventsPerMinute) + 1);
    EXPECT_EQ(log.entries.back().id, kEventUsbAbsent) << "the held-back state is written late, not lost";
}

TEST(StatusEvents, WithoutARegisteredSourceNothingIsWrittenAndTheMonitorGoesOn) {
    FakeLog log;
    log.registered = false;
    monfakes::Rig rig;
    rig.monitor.SetEventLog(&log);
    rig.Move("COM1:");
    ASSERT_TRUE(rig.Init());
    rig.spooler.status = 1;
    rig.Seconds(2);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(rig.window.title, "Communication Error");
}

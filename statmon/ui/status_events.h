// What the monitor reports to the Windows event log, so that a support desk
// sees every till's printer in one place: each change of the state the
// window shows, once, when it is shown (never per tick). Information when
// the monitor starts watching its queue and when the printer is ready again
// after a problem; a warning for a paused queue; an error for paper out,
// offline, a communication error, a USB printer unplugged or switched off,
// and the queue not installed. Printing is not reported (every job would
// be). Each event carries the queue's name, its port and the window's
// message.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace statmon {

// ReportEvent's types.
enum class EventType : std::uint16_t { Error = 1, Warning = 2, Information = 4 };

// The event ids of the monitor's message table (statmon/ui/events.mc).
constexpr std::uint32_t kEventWatching = 1000;
constexpr std::uint32_t kEventReady = 1001;
constexpr std::uint32_t kEventPaused = 2001;
constexpr std::uint32_t kEventPaperOut = 3001;
constexpr std::uint32_t kEventOffline = 3002;
constexpr std::uint32_t kEventCommunication = 3003;
constexpr std::uint32_t kEventUsbAbsent = 3004;
constexpr std::uint32_t kEventNotInstalled = 3005;

// A cable that flaps must not flood the log: at most this many events are
// written in any minute; the changes in between are held back, and the
// newest of them is written as soon as the minute allows, so that the log
// always ends on the state the window shows.
constexpr int kMaxEventsPerMinute = 10;
constexpr long kTicksPerMinute = 60;

// The Application log, through the monitor's registered source.
class IEventLog {
public:
    virtual ~IEventLog() = default;
    // ReportEvent with the insertion strings; false when the source is not
    // registered (a monitor copied by hand) or the write failed.
    virtual bool Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) = 0;
};

// What the window shows, as far as the log is concerned.
enum class ShownKind {
    None, Watching, Ready, Printing, Paused, PaperOut, Offline, Communication, UsbAbsent, NotInstalled
};

// The kind of a display state's code; None for the Searching phase (0).
ShownKind KindOfState(int state);

class StatusEvents {
public:
    explicit StatusEvents(IEventLog* log) : m_log(log) {}

    // The window now shows `kind`; `tick` counts the monitor's seconds.
    void OnShown(ShownKind kind, const std::string& queue, const std::string& port,
                 const std::string& message, long tick);
    // Writes a held-back change once the minute allows.
    void OnTick(long tick);

private:
    struct Event {
        ShownKind kind;
        std::vector<std::string> strings;
    };
    void Write(const Event& event, long tick);
    bool Problem(ShownKind kind) const;

    IEventLog* m_log;
    ShownKind m_shown = ShownKind::None;     // the kind last shown
    ShownKind m_written = ShownKind::None;   // the kind last written
    std::optional<Event> m_held;
    std::deque<long> m_writeTicks;           // when the last events were written
};

}  // namespace statmon

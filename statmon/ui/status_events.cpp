#include "statmon/ui/status_events.h"

namespace statmon {

ShownKind KindOfState(int state) {
    switch (state) {
    case -1: case 2000: return ShownKind::Ready;
    case 16: return ShownKind::Printing;
    case 1: return ShownKind::Paused;
    case 3000: case 3001: case 3010: case 3011: return ShownKind::PaperOut;
    case 4000: case 4001: case 4010: case 4011: return ShownKind::Offline;
    case 18: case 1000: case 1001: case 1010: return ShownKind::Communication;
    case 20: return ShownKind::UsbAbsent;
    default: return ShownKind::None;
    }
}

bool StatusEvents::Problem(ShownKind kind) const {
    return kind != ShownKind::None && kind != ShownKind::Watching && kind != ShownKind::Ready &&
           kind != ShownKind::Printing;
}

void StatusEvents::OnShown(ShownKind kind, const std::string& queue, const std::string& port,
                           const std::string& message, long tick) {
    if (kind == ShownKind::None || kind == m_shown) return;  // drawn again, not changed
    m_shown = kind;
    m_held = Event{kind, {queue, port, message}};
    OnTick(tick);
}

void StatusEvents::OnTick(long tick) {
    while (!m_writeTicks.empty() && tick - m_writeTicks.front() >= kTicksPerMinute)
        m_writeTicks.pop_front();
    if (!m_held || static_cast<int>(m_writeTicks.size()) >= kMaxEventsPerMinute) return;
    const Event event = std::move(*m_held);
    m_held.reset();
    // What the log already says needs no second line; printing is not
    // told, and Ready only after a problem.
    if (event.kind == m_written || event.kind == ShownKind::Printing) return;
    if (event.kind == ShownKind::Ready && !Problem(m_written)) return;
    Write(event, tick);
}

void StatusEvents::Write(const Event& event, long tick) {
    struct Row {
        ShownKind kind;
        EventType type;
        std::uint32_t id;
    };
    static const Row rows[] = {
        {ShownKind::Watching, EventType::Information, kEventWatching},
        {ShownKind::Ready, EventType::Information, kEventReady},
        {ShownKind::Paused, EventType::Warning, kEventPaused},
        {ShownKind::PaperOut, EventType::Error, kEventPaperOut},
        {ShownKind::Offline, EventType::Error, kEventOffline},
        {ShownKind::Communication, EventType::Error, kEventCommunication},
        {ShownKind::UsbAbsent, EventType::Error, kEventUsbAbsent},
        {ShownKind::NotInstalled, EventType::Error, kEventNotInstalled},
    };
    for (const Row& row : rows) {
        if (row.kind != event.kind) continue;
        m_written = event.kind;
        m_writeTicks.push_back(tick);
        if (m_log) m_log->Report(row.type, row.id, event.strings);
        return;
    }
}

}  // namespace statmon

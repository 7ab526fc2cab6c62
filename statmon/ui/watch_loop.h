// The monitoring as the tick worker runs it: spooler, registry, WMI, port
// driver and device scans happen here, never on the user-interface thread,
// so a call that hangs leaves the tray icon and the window answering. What
// the window asks of the monitoring (its commands, device notices, resume)
// is queued and carried out in order at the start of the next tick; what
// the monitoring shows goes back through the display mailbox.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "common/device_notice.h"
#include "statmon/ui/display_mailbox.h"
#include "statmon/ui/monitor.h"

namespace statmon {

class WatchLoop {
public:
    WatchLoop(DisplayMailbox& mailbox, ISpooler& spooler, common::IRegistryReader& registry,
              IParallelPort& port, IDeviceInterfaces& devices);
    WatchLoop(const WatchLoop&) = delete;
    WatchLoop& operator=(const WatchLoop&) = delete;

    // The user-interface thread's side. Each request wakes the worker
    // (through the function given here) so that it is carried out at once.
    void SetWake(std::function<void()> wake) { m_wake = std::move(wake); }
    void RequestShow();     // the show command: the Searching phase, then the restart
    void RequestRestart();  // the restart command
    void PostNotice(const common::DeviceNotice& notice);
    void RequestResume();   // resumed from sleep or hibernation, session unlocked

    // The worker's side: one tick. The first opens the queue and scans for
    // the USB printer (the window has registered for device notices before).
    void Tick();

    Monitor& GetMonitor() { return m_monitor; }
    MailboxWindow& Window() { return m_window; }

private:
    enum class Kind { Show, Restart, Notice, Resume };
    struct Request {
        Kind kind;
        common::DeviceNotice notice;
    };
    void Queue(Request request);

    DisplayMailbox& m_mailbox;
    IDeviceInterfaces& m_devices;
    MailboxWindow m_window;
    Monitor m_monitor;
    bool m_started = false;

    std::mutex m_mutex;
    std::vector<Request> m_requests;
    std::function<void()> m_wake;
};

}  // namespace statmon

#include "statmon/ui/watch_loop.h"

namespace statmon {

WatchLoop::WatchLoop(DisplayMailbox& mailbox, ISpooler& spooler, common::IRegistryReader& registry,
                     IParallelPort& port, IDeviceInterfaces& devices)
    : m_mailbox(mailbox),
      m_devices(devices),
      m_window(mailbox, [this] { m_monitor.Restart(); }),
      m_monitor(m_window, spooler, registry, port) {}

void WatchLoop::Queue(Request request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(std::move(request));
    }
    if (m_wake) m_wake();
}

void WatchLoop::RequestShow() { Queue({Kind::Show, {}}); }
void WatchLoop::RequestRestart() { Queue({Kind::Restart, {}}); }
void WatchLoop::PostNotice(const common::DeviceNotice& notice) { Queue({Kind::Notice, notice}); }
void WatchLoop::RequestResume() { Queue({Kind::Resume, {}}); }

void WatchLoop::Tick() {
    if (!m_started) {
        m_started = true;
        m_monitor.ResetPortState();
        m_monitor.OpenModelPrinter();
        m_monitor.FindUsbPrinter(m_devices);
        m_monitor.SetDeviceInterfaces(&m_devices);
    }

    std::vector<Request> requests;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        requests.swap(m_requests);
    }
    for (const Request& request : requests) {
        switch (request.kind) {
        case Kind::Show:
            m_monitor.BeginSearching();
            m_monitor.Restart();
            break;
        case Kind::Restart: m_monitor.Restart(); break;
        case Kind::Notice: m_monitor.OnDeviceChange(request.notice); break;
        case Kind::Resume: m_monitor.OnResume(); break;
        }
    }

    if (m_window.PortTimerArmed()) m_monitor.OnPortTimer();  // timer 1
    m_monitor.OnStatusTick();
    m_mailbox.Flush();
}

}  // namespace statmon

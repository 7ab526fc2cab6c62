// The tick worker: a thread that runs a status tick at once and then every
// period until it is stopped. At most one worker of a TickWorker object
// runs at any time, and its ticks never overlap.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace statmon {

class TickWorker {
public:
    using Tick = std::function<void()>;

    explicit TickWorker(std::chrono::milliseconds period = std::chrono::milliseconds(1000))
        : m_period(period) {}
    ~TickWorker() { Stop(kGiveUpAfter); }
    TickWorker(const TickWorker&) = delete;
    TickWorker& operator=(const TickWorker&) = delete;

    // Stops a running worker, then starts a new one that runs `tick` (on
    // the worker thread). False when the thread could not be created; the
    // worker is then stopped.
    bool Start(Tick tick);
    // Tells the worker to stop and waits until it has ended or `wait` has
    // passed (it wakes at once, but a tick may hang in a call that does not
    // come back). True when it ended; otherwise the thread is left to end
    // with the process, keeping what it uses alive.
    bool Stop(std::chrono::milliseconds wait = std::chrono::milliseconds::max());
    // The next tick runs now instead of at the end of the period.
    void Wake();
    bool Running() const { return m_param != nullptr; }

    static constexpr std::chrono::milliseconds kGiveUpAfter{2000};

private:
    // What the running thread uses; shared with it, so that it outlives a
    // worker left behind.
    struct TickParam {
        Tick tick;
        std::mutex mutex;
        std::condition_variable wake;
        bool stop = false;
        bool woken = false;
        bool ended = false;
    };
    static void Run(std::shared_ptr<TickParam> param, std::chrono::milliseconds period);

    std::chrono::milliseconds m_period;
    std::shared_ptr<TickParam> m_param;
    std::thread m_thread;
};

}  // namespace statmon

// The tick worker: a thread that asks for a status tick at once and then
// every period until it is stopped. At most one worker of a TickWorker
// object runs at any time.
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
    using Post = std::function<void()>;

    explicit TickWorker(std::chrono::milliseconds period = std::chrono::milliseconds(1000))
        : m_period(period) {}
    ~TickWorker() { Stop(); }
    TickWorker(const TickWorker&) = delete;
    TickWorker& operator=(const TickWorker&) = delete;

    // Stops a running worker, then starts a new one that calls `post` (on the
    // worker thread). False when the thread could not be created; the
    // worker is then stopped.
    bool Start(Post post);
    // Tells the worker to stop and waits until it has ended; it wakes at once.
    void Stop();
    bool Running() const { return m_param != nullptr; }

private:
    // What the running thread uses; freed only after the thread has ended.
    struct TickParam {
        Post post;
        std::mutex mutex;
        std::condition_variable wake;
        bool stop = false;
    };
    static void Run(TickParam& param, std::chrono::milliseconds period);

    std::chrono::milliseconds m_period;
    std::unique_ptr<TickParam> m_param;
    std::thread m_thread;
};

}  // namespace statmon

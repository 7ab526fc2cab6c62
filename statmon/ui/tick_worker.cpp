#include "statmon/ui/tick_worker.h"

#include <system_error>

namespace statmon {

constexpr std::chrono::milliseconds TickWorker::kGiveUpAfter;

bool TickWorker::Start(Tick tick) {
    Stop();
    auto param = std::make_shared<TickParam>();
    param->tick = std::move(tick);
    try {
        m_thread = std::thread(&TickWorker::Run, param, m_period);
    } catch (const std::system_error&) {
        return false;  // monitoring stays stopped; nothing is reported
    }
    m_param = std::move(param);
    return true;
}

bool TickWorker::Stop(std::chrono::milliseconds wait) {
    if (!m_param) return true;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(m_param->mutex);
        m_param->stop = true;
        m_param->wake.notify_all();
        if (wait == std::chrono::milliseconds::max())
            m_param->wake.wait(lock, [this] { return m_param->ended; });
        else
            m_param->wake.wait_for(lock, wait, [this] { return m_param->ended; });
        ended = m_param->ended;
    }
    if (m_thread.joinable()) {
        if (ended)
            m_thread.join();
        else
            m_thread.detach();  // hangs in a call; the process's end ends it
    }
    m_param.reset();
    return ended;
}

void TickWorker::Wake() {
    if (!m_param) return;
    std::lock_guard<std::mutex> lock(m_param->mutex);
    m_param->woken = true;
    m_param->wake.notify_all();
}

void TickWorker::Run(std::shared_ptr<TickParam> param, std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(param->mutex);
    while (!param->stop) {
        param->woken = false;
        lock.unlock();
        param->tick();
        lock.lock();
        param->wake.wait_for(lock, period, [&param] { return param->stop || param->woken; });
    }
    param->ended = true;
    param->wake.notify_all();
}

}  // namespace statmon

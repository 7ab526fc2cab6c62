#include "statmon/ui/tick_worker.h"

#include <system_error>

namespace statmon {

bool TickWorker::Start(Post post) {
    Stop();
    auto param = std::make_unique<TickParam>();
    param->post = std::move(post);
    try {
        m_thread = std::thread(&TickWorker::Run, std::ref(*param), m_period);
    } catch (const std::system_error&) {
        return false;  // monitoring stays stopped; nothing is reported
    }
    m_param = std::move(param);
    return true;
}

void TickWorker::Stop() {
    if (!m_param) return;
    {
        std::lock_guard<std::mutex> lock(m_param->mutex);
        m_param->stop = true;
    }
    m_param->wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    m_param.reset();
}

void TickWorker::Run(TickParam& param, std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(param.mutex);
    while (!param.stop) {
        lock.unlock();
        param.post();
        lock.lock();
        param.wake.wait_for(lock, period, [&param] { return param.stop; });
    }
}

}  // namespace statmon

#include "statmon/ui/tick_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using statmon::TickWorker;

namespace {

// Counts posts per worker generation and notices two workers posting at once.
struct TickLog {
    std::atomic<int> ticks{0};
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};

    TickWorker::Tick Counter(std::atomic<int>* generation = nullptr) {
        return [this, generation] {
            if (inside.fetch_add(1) != 0) overlapped = true;
            ++ticks;
            if (generation) ++*generation;
            std::this_thread::sleep_for(1ms);
            inside.fetch_sub(1);
        };
    }
};

template <class Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = 2000ms) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(TickWorker, FirstTickAtOnceThenOnePerPeriod) {
    TickLog log;
    TickWorker worker(50ms);
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(worker.Start(log.Counter()));
    ASSERT_TRUE(WaitFor([&] { return log.ticks >= 1; }, 40ms)) << "first tick must not wait a period";
    ASSERT_TRUE(WaitFor([&] { return log.ticks >= 4; }));
    auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_GE(elapsed, 150ms) << "four ticks span at least three periods";
    worker.Stop();
}

TEST(TickWorker, StopEndsTheWorkerAtOnceAndNoTickFollows) {
    TickLog log;
    TickWorker worker(10s);  // a long period: Stop must not wait for it
    ASSERT_TRUE(worker.Start(log.Counter()));
    ASSERT_TRUE(WaitFor([&] { return log.ticks == 1; }));
    auto before = std::chrono::steady_clock::now();
    worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_FALSE(worker.Running());
    int after = log.ticks;
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(after, log.ticks);
}

TEST(TickWorker, RestartsLeaveAtMostOneWorkerPosting) {
    TickLog log;
    TickWorker worker(2ms);
    std::atomic<int> generations[10];
    for (auto& g : generations) g = 0;
    for (auto& generation : generations) {
        ASSERT_TRUE(worker.Start(log.Counter(&generation)));
        ASSERT_TRUE(WaitFor([&] { return generation >= 2; }));
    }
    // Only the last generation may still tick.
    int frozen[9];
    for (int i = 0; i < 9; ++i) frozen[i] = generations[i];
    std::this_thread::sleep_for(20ms);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(frozen[i], generations[i]) << "generation " << i;
    EXPECT_GT(generations[9], 2);
    EXPECT_FALSE(log.overlapped);
    worker.Stop();
}

TEST(TickWorker, StopWithoutStartAndDestructionAreHarmless) {
    TickLog log;
    {
        TickWorker worker(5ms);
        worker.Stop();
        ASSERT_TRUE(worker.Start(log.Counter()));
        ASSERT_TRUE(WaitFor([&] { return log.ticks >= 1; }));
    }  // destructor stops the running worker
    int after = log.ticks;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(after, log.ticks);
}

TEST(TickWorker, WakeRunsTheNextTickAtOnce) {
    TickLog log;
    TickWorker worker(10s);
    ASSERT_TRUE(worker.Start(log.Counter()));
    ASSERT_TRUE(WaitFor([&] { return log.ticks == 1; }));
    worker.Wake();
    EXPECT_TRUE(WaitFor([&] { return log.ticks == 2; }, 1s));
    worker.Stop();
}

TEST(TickWorker, AStopGivesUpOnATickThatHangsAndLeavesItsStateAlive) {
    std::atomic<bool> release{false};
    auto alive = std::make_shared<int>(7);
    std::atomic<int> seen{0};
    TickWorker worker(5ms);
    ASSERT_TRUE(worker.Start([&release, &seen, alive] {
        while (!release) std::this_thread::sleep_for(1ms);  // a spooler call that hangs
        seen = *alive;
    }));
    std::this_thread::sleep_for(20ms);
    auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.Stop(100ms));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_FALSE(worker.Running());
    std::weak_ptr<int> watch = alive;
    alive.reset();
    EXPECT_FALSE(watch.expired()) << "the hanging thread still holds what it uses";
    release = true;  // the call comes back: the thread ends on its own
    EXPECT_TRUE(WaitFor([&] { return watch.expired(); }));
    EXPECT_EQ(seen, 7);
}

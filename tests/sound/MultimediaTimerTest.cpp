#include "platform/MultimediaTimer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

struct Ticks {
    std::mutex lock;
    std::condition_variable changed;
    int nEntered = 0;
    int nLeft = 0;
    unsigned nLastId = 0;
    bool bGateOpen = true; // while closed, a tick waits inside
    bool bKillFromTick = false;
    int nKillResult = -1;

    static void Callback(unsigned id, void* user) {
        auto* self = static_cast<Ticks*>(user);
        std::unique_lock guard(self->lock);
        ++self->nEntered;
        self->nLastId = id;
        self->changed.notify_all();
        self->changed.wait(guard, [self] { return self->bGateOpen; });
        if (self->bKillFromTick) {
            guard.unlock();
            const int result = MultimediaTimer::KillEvent(id);
            guard.lock();
            self->nKillResult = result;
        }
        ++self->nLeft;
        self->changed.notify_all();
    }
    template <class Condition> bool WaitFor(Condition condition) {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), condition);
    }
};

TEST(MultimediaTimer, TicksRepeatedlyUntilKilled) {
    Ticks ticks;
    const unsigned id = MultimediaTimer::SetEvent(10, &Ticks::Callback, &ticks);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(ticks.WaitFor([&] { return ticks.nLeft >= 3; }));
    EXPECT_EQ(MultimediaTimer::KillEvent(id), 0);
    std::lock_guard guard(ticks.lock);
    EXPECT_EQ(ticks.nLastId, id);
    EXPECT_EQ(ticks.nEntered, ticks.nLeft);
    EXPECT_EQ(MultimediaTimer::KillEvent(id), MultimediaTimer::TimerErrorNoCanDo);
}

TEST(MultimediaTimer, KillWaitsForTheRunningTick) {
    Ticks ticks;
    ticks.bGateOpen = false;
    const unsigned id = MultimediaTimer::SetEvent(10, &Ticks::Callback, &ticks);
    ASSERT_TRUE(ticks.WaitFor([&] { return ticks.nEntered == 1; }));
    std::atomic<bool> killed = false;
    int leftWhenKilled = -1;
    std::thread killer([&] {
        MultimediaTimer::KillEvent(id);
        std::lock_guard guard(ticks.lock);
        leftWhenKilled = ticks.nLeft;
        killed = true;
    });
    {
        std::lock_guard guard(ticks.lock);
        EXPECT_FALSE(killed);
        ticks.bGateOpen = true;
    }
    ticks.changed.notify_all();
    killer.join();
    EXPECT_EQ(leftWhenKilled, 1);
    std::lock_guard guard(ticks.lock);
    EXPECT_EQ(ticks.nEntered, 1);
}

TEST(MultimediaTimer, KillFromInsideItsOwnTickReturnsAtOnce) {
    Ticks ticks;
    ticks.bKillFromTick = true;
    const unsigned id = MultimediaTimer::SetEvent(10, &Ticks::Callback, &ticks);
    ASSERT_TRUE(ticks.WaitFor([&] { return ticks.nLeft == 1; }));
    std::lock_guard guard(ticks.lock);
    EXPECT_EQ(ticks.nKillResult, 0);
    EXPECT_EQ(MultimediaTimer::KillEvent(id), MultimediaTimer::TimerErrorNoCanDo);
}

} // namespace

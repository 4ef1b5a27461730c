#include "platform/MultimediaTimer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct TimerState {
    std::mutex lock;
    std::condition_variable wake;
    bool bStop = false;
};

struct RunningTimer {
    std::shared_ptr<TimerState> state;
    std::thread thread;
};

// The running timers. Kept for the life of the process: a timer still running at exit must not
// meet a destroyed table.
struct TimerTable {
    std::mutex lock;
    std::map<unsigned, RunningTimer> timers;
    unsigned nLastId = 0;
};

TimerTable& Table() {
    static auto* table = new TimerTable;
    return *table;
}

void RunTimer(std::shared_ptr<TimerState> state, unsigned id, unsigned periodMs,
              MultimediaTimer::Callback callback, void* user) {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(periodMs);
    auto next = Clock::now() + period;
    std::unique_lock guard(state->lock);
    for (;;) {
        if (state->wake.wait_until(guard, next, [&] { return state->bStop; }))
            return;
        guard.unlock();
        callback(id, user);
        guard.lock();
        next += period;
        const auto now = Clock::now();
        if (next <= now)
            next = now + period;
    }
}

} // namespace

unsigned MultimediaTimer::SetEvent(unsigned periodMs, Callback callback, void* user) {
    if (!callback || periodMs == 0)
        return 0;
    TimerTable& table = Table();
    std::lock_guard guard(table.lock);
    if (++table.nLastId == 0)
        ++table.nLastId;
    const unsigned id = table.nLastId;
    auto state = std::make_shared<TimerState>();
    try {
        std::thread thread(RunTimer, state, id, periodMs, callback, user);
        table.timers.emplace(id, RunningTimer{std::move(state), std::move(thread)});
    } catch (const std::system_error&) {
        return 0;
    }
    return id;
}

int MultimediaTimer::KillEvent(unsigned timerId) {
    TimerTable& table = Table();
    RunningTimer timer;
    {
        std::lock_guard guard(table.lock);
        auto found = table.timers.find(timerId);
        if (found == table.timers.end())
            return TimerErrorNoCanDo;
        timer = std::move(found->second);
        table.timers.erase(found);
    }
    {
        std::lock_guard guard(timer.state->lock);
        timer.state->bStop = true;
    }
    timer.state->wake.notify_one();
    // From inside its own tick the thread ends by itself once the tick returns.
    if (timer.thread.get_id() == std::this_thread::get_id())
        timer.thread.detach();
    else
        timer.thread.join();
    return 0;
}

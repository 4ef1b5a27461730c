#pragma once

// The periodic multimedia timer: each timer runs its callback on a thread of its own.
class MultimediaTimer {
public:
    using Callback = void (*)(unsigned timerId, void* user);

    // Starts a timer that calls `callback` every `periodMs` milliseconds, the first time one period
    // from now. A tick that runs late is not made up. Returns the timer's identifier, never reused,
    // or 0 when the timer could not be started.
    static unsigned SetEvent(unsigned periodMs, Callback callback, void* user);

    // Stops the timer. A tick that is running is waited for, unless this is called from inside
    // that very tick; no tick starts afterwards. Returns 0, or TimerErrorNoCanDo for an identifier
    // that is not running.
    static int KillEvent(unsigned timerId);

    static constexpr int TimerErrorNoCanDo = 97;
};

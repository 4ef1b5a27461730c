#pragma once

#include "platform/WaveDevice.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// What the player asked of its device and what the device gave back, one record per device
// opened. The devices are real SDL devices wrapped by the recorder, so the player runs its real
// path while the test watches it.
struct DeviceSession {
    struct Block {
        const WaveHeader* header;
        std::string bytes;
        int result;
    };
    WaveFormat format;
    // In order: "open", "pause", "restart", "write", "done", "reset", "close".
    std::vector<std::string> calls;
    std::vector<Block> writes;
    std::vector<const WaveHeader*> done;
    bool bClosed = false;
    std::uint64_t nBytesPlayedAtClose = 0;

    // All bytes written, in order.
    std::string WrittenBytes() const;
    // Done messages that came before the first reset.
    int DoneBeforeReset() const;
};

class DeviceRecorder {
public:
    // Puts the recording opener in place for the recorder's lifetime.
    DeviceRecorder();
    ~DeviceRecorder();

    std::vector<DeviceSession> Sessions();
    // Waits up to `timeout` for `condition` on the sessions; returns whether it held.
    bool WaitFor(const std::function<bool(const std::vector<DeviceSession>&)>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until session `index` has been closed.
    bool WaitForClose(std::size_t index, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // While not 0, opening fails with this error number.
    int nOpenError = 0;

private:
    friend class RecordingWaveDevice;
    void Record(std::size_t session, const std::function<void(DeviceSession&)>& change);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<DeviceSession> m_sessions;
};

#include "DeviceRecorder.h"

#include <algorithm>

std::string DeviceSession::WrittenBytes() const {
    std::string bytes;
    for (const Block& block : writes)
        bytes += block.bytes;
    return bytes;
}

int DeviceSession::DoneBeforeReset() const {
    int count = 0;
    for (const std::string& call : calls) {
        if (call == "reset")
            break;
        count += call == "done";
    }
    return count;
}

// An SDL device that reports every call and every returned block to the recorder.
class RecordingWaveDevice : public WaveDevice {
public:
    RecordingWaveDevice(DeviceRecorder& recorder, std::size_t session, WaveOutProc callback, void* user)
        : m_recorder(recorder), m_nSession(session), m_callback(callback), m_user(user) {}

    static void Forward(WaveDevice*, unsigned message, void* user, WaveHeader* header) {
        auto* self = static_cast<RecordingWaveDevice*>(user);
        if (message == WaveMessageDone)
            self->m_recorder.Record(self->m_nSession, [header](DeviceSession& s) {
                s.calls.push_back("done");
                s.done.push_back(header);
            });
        self->m_callback(self, message, self->m_user, header);
    }

    int Pause() override { return Note("pause", m_inner->Pause()); }
    int Restart() override { return Note("restart", m_inner->Restart()); }
    int Reset() override {
        Note("reset", 0);
        return m_inner->Reset();
    }
    int PrepareHeader(WaveHeader* header) override { return m_inner->PrepareHeader(header); }
    int UnprepareHeader(WaveHeader* header) override { return m_inner->UnprepareHeader(header); }
    int Write(WaveHeader* header) override {
        std::string bytes(reinterpret_cast<const char*>(header->pData), header->nBufferLength);
        const int result = m_inner->Write(header);
        m_recorder.Record(m_nSession, [&](DeviceSession& s) {
            s.calls.push_back("write");
            s.writes.push_back({header, std::move(bytes), result});
        });
        return result;
    }
    int Close() override {
        const int result = m_inner->Close();
        const std::uint64_t played = m_inner->BytesPlayed();
        m_recorder.Record(m_nSession, [played](DeviceSession& s) {
            s.calls.push_back("close");
            s.bClosed = true;
            s.nBytesPlayedAtClose = played;
        });
        return result;
    }

    std::unique_ptr<WaveDevice> m_device;
    SdlWaveDevice* m_inner = nullptr;

private:
    int Note(const char* call, int result) {
        m_recorder.Record(m_nSession, [call](DeviceSession& s) { s.calls.push_back(call); });
        return result;
    }

    DeviceRecorder& m_recorder;
    std::size_t m_nSession;
    WaveOutProc m_callback;
    void* m_user;
};

DeviceRecorder::DeviceRecorder() {
    SetWaveOutOpener([this](std::unique_ptr<WaveDevice>& device, const WaveFormat& format,
                            WaveOutProc callback, void* user) {
        device.reset();
        if (nOpenError != 0)
            return nOpenError;
        std::size_t session;
        {
            std::lock_guard guard(m_lock);
            session = m_sessions.size();
            m_sessions.push_back({});
            m_sessions.back().format = format;
        }
        auto recording = std::make_unique<RecordingWaveDevice>(*this, session, callback, user);
        Record(session, [](DeviceSession& s) { s.calls.push_back("open"); });
        const int result =
            SdlWaveDevice::Open(recording->m_device, format, &RecordingWaveDevice::Forward, recording.get());
        if (result != WaveNoError)
            return result;
        recording->m_inner = static_cast<SdlWaveDevice*>(recording->m_device.get());
        device = std::move(recording);
        return WaveNoError;
    });
}

DeviceRecorder::~DeviceRecorder() {
    SetWaveOutOpener({});
}

std::vector<DeviceSession> DeviceRecorder::Sessions() {
    std::lock_guard guard(m_lock);
    return m_sessions;
}

bool DeviceRecorder::WaitFor(const std::function<bool(const std::vector<DeviceSession>&)>& condition,
                             std::chrono::milliseconds timeout) {
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, timeout, [&] { return condition(m_sessions); });
}

bool DeviceRecorder::WaitForClose(std::size_t index, std::chrono::milliseconds timeout) {
    return WaitFor([index](const auto& s) { return s.size() > index && s[index].bClosed; }, timeout);
}

void DeviceRecorder::Record(std::size_t session, const std::function<void(DeviceSession&)>& change) {
    {
        std::lock_guard guard(m_lock);
        change(m_sessions[session]);
    }
    m_changed.notify_all();
}

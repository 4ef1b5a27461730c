#include "platform/WaveDevice.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

// Rates outside this range are refused rather than handed to SDL's resampler.
constexpr std::uint32_t MinimumRate = 1000;
constexpr std::uint32_t MaximumRate = 384000;

WaveOutOpener& CurrentOpener() {
    static WaveOutOpener opener;
    return opener;
}

// SDL's audio subsystem is started once, at the first open, and kept: starting it again for every
// sound would cost each sound the driver's start-up. A failed start is tried again next time.
bool StartSdlAudio() {
    static std::mutex lock;
    static bool started = false;
    std::lock_guard guard(lock);
    if (!started) {
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "KEPIRO");
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return started;
}

// About 10 to 20 ms of sound per callback: short enough that a sound starts at once, long enough
// for the sound server.
Uint16 CallbackFrames(std::uint32_t rate) {
    std::uint32_t frames = 64;
    while (frames * 2 <= rate / 50)
        frames *= 2;
    return static_cast<Uint16>(frames);
}

void Append(WaveHeader*& head, WaveHeader*& tail, WaveHeader* header) {
    header->pNext = nullptr;
    if (tail)
        tail->pNext = header;
    else
        head = header;
    tail = header;
}

using Clock = std::chrono::steady_clock;

// How long the SDL device of a closed wave device stays open for the next one. Long enough for the
// next answer of a quick drill; a later sound opens its device anew in a few milliseconds.
constexpr auto KeepOpenFor = std::chrono::seconds(5);

} // namespace

// An SDL audio device and the wave device it feeds. SDL's callback gets this rather than the wave
// device, so that one SDL device can feed one wave device after another.
struct SdlOutput {
    SDL_AudioDeviceID nId = 0;
    int nRate = 0;
    SDL_AudioFormat nFormat = 0;
    Uint8 nChannels = 0;
    std::uint8_t nSilence = 0;
    // Under SDL's device lock; null while the SDL device is kept between two wave devices.
    SdlWaveDevice* pDevice = nullptr;

    bool Plays(const SDL_AudioSpec& spec) const {
        return nRate == spec.freq && nFormat == spec.format && nChannels == spec.channels;
    }
};

namespace {

// The SDL device kept open, paused and fed by no wave device, with the time it is due to close.
// A closer thread of ours closes it when that time comes, so that no caller waits for the close.
struct KeptOutput {
    // Also held around every open and close of an SDL device: SDL's table of open devices must
    // not change from two threads at once, and a kept device closes before another one opens.
    std::mutex lock;
    std::condition_variable wake;
    std::unique_ptr<SdlOutput> output;
    Clock::time_point closeAt;
    bool bCloserStarted = false;
};

// Never destroyed: the closer thread waits on it until the process ends.
KeptOutput& Kept() {
    static auto* kept = new KeptOutput;
    return *kept;
}

// Kept().lock held.
void CloseKeptOutput(KeptOutput& kept) {
    if (kept.output) {
        SDL_CloseAudioDevice(kept.output->nId);
        kept.output.reset();
    }
}

void RunCloser() {
    KeptOutput& kept = Kept();
    std::unique_lock guard(kept.lock);
    for (;;) {
        if (!kept.output)
            kept.wake.wait(guard);
        else if (Clock::now() < kept.closeAt)
            kept.wake.wait_until(guard, kept.closeAt);
        else
            CloseKeptOutput(kept);
    }
}

// Takes over the kept SDL device when it plays `wanted`; otherwise closes it and opens a new one.
// Null when SDL cannot open a device.
std::unique_ptr<SdlOutput> TakeOrOpenOutput(SDL_AudioSpec wanted) {
    KeptOutput& kept = Kept();
    std::lock_guard guard(kept.lock);
    // A device SDL has given up on (its hardware gone) reports itself stopped.
    if (kept.output && kept.output->Plays(wanted) &&
        SDL_GetAudioDeviceStatus(kept.output->nId) == SDL_AUDIO_PAUSED)
        return std::move(kept.output);
    CloseKeptOutput(kept);

    auto output = std::make_unique<SdlOutput>();
    wanted.userdata = output.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware plays, and our callback sees the
    // file's own format. SDL opens the device paused.
    output->nId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->nId == 0)
        return nullptr;
    output->nRate = wanted.freq;
    output->nFormat = wanted.format;
    output->nChannels = wanted.channels;
    output->nSilence = obtained.silence;
    return output;
}

// Keeps a paused SDL device that feeds no wave device for the next open, in place of any kept one.
void KeepOutput(std::unique_ptr<SdlOutput> output) {
    KeptOutput& kept = Kept();
    std::lock_guard guard(kept.lock);
    if (!kept.bCloserStarted) {
        try {
            std::thread(RunCloser).detach();
        } catch (const std::system_error&) {
            SDL_CloseAudioDevice(output->nId);
            return;
        }
        kept.bCloserStarted = true;
        std::atexit([] { SdlWaveDevice::CloseKeptDevice(); });
    }
    // Only with two wave devices open at once is one kept already; the later one stays.
    CloseKeptOutput(kept);
    kept.output = std::move(output);
    kept.closeAt = Clock::now() + KeepOpenFor;
    kept.wake.notify_one();
}

} // namespace

int WaveOutOpen(std::unique_ptr<WaveDevice>& device, const WaveFormat& format, WaveOutProc callback,
                void* user) {
    if (CurrentOpener())
        return CurrentOpener()(device, format, callback, user);
    return SdlWaveDevice::Open(device, format, callback, user);
}

WaveOutOpener SetWaveOutOpener(WaveOutOpener opener) {
    WaveOutOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}

int SdlWaveDevice::Open(std::unique_ptr<WaveDevice>& device, const WaveFormat& format, WaveOutProc callback,
                        void* user) {
    device.reset();
    if (!callback)
        return WaveErrorInvalidParameter;
    if (format.nFormatTag != WaveFormatPcm || (format.nChannels != 1 && format.nChannels != 2) ||
        (format.nBitsPerSample != 8 && format.nBitsPerSample != 16) || format.nSamplesPerSec < MinimumRate ||
        format.nSamplesPerSec > MaximumRate)
        return WaveErrorBadFormat;
    if (!StartSdlAudio())
        return WaveErrorNoDevice;

    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.format = format.nBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.nChannels);
    wanted.samples = CallbackFrames(format.nSamplesPerSec);
    wanted.callback = &SdlWaveDevice::AudioCallback;
    std::unique_ptr<SdlOutput> output = TakeOrOpenOutput(wanted);
    if (!output)
        return WaveErrorNoDevice;

    std::unique_ptr<SdlWaveDevice> opened(new SdlWaveDevice(callback, user));
    opened->m_nDevice = output->nId;
    try {
        opened->m_delivery = std::thread(&SdlWaveDevice::DeliverDoneBlocks, opened.get());
    } catch (const std::system_error&) {
        opened->m_nDevice = 0;
        KeepOutput(std::move(output));
        return WaveErrorNoMemory;
    }
    // Paused, whether just opened or kept: SDL's callback does not run until Restart.
    SDL_LockAudioDevice(opened->m_nDevice);
    output->pDevice = opened.get();
    SDL_UnlockAudioDevice(opened->m_nDevice);
    opened->m_pOutput = std::move(output);
    callback(opened.get(), WaveMessageOpen, user, nullptr);
    device = std::move(opened);
    return WaveNoError;
}

SdlWaveDevice::SdlWaveDevice(WaveOutProc callback, void* user) : m_callback(callback), m_user(user) {}

SdlWaveDevice::~SdlWaveDevice() {
    Close();
}

void SdlWaveDevice::CloseKeptDevice() {
    KeptOutput& kept = Kept();
    std::lock_guard guard(kept.lock);
    CloseKeptOutput(kept);
}

int SdlWaveDevice::Pause() {
    if (!m_nDevice)
        return WaveErrorInvalidParameter;
    SDL_PauseAudioDevice(m_nDevice, 1);
    return WaveNoError;
}

int SdlWaveDevice::Restart() {
    if (!m_nDevice)
        return WaveErrorInvalidParameter;
    SDL_PauseAudioDevice(m_nDevice, 0);
    return WaveNoError;
}

int SdlWaveDevice::Reset() {
    if (!m_nDevice)
        return WaveErrorInvalidParameter;
    SDL_LockAudioDevice(m_nDevice);
    WaveHeader* returned = m_pDoneHead;
    if (m_pDoneTail)
        m_pDoneTail->pNext = m_pQueueHead;
    else
        returned = m_pQueueHead;
    for (WaveHeader* header = returned; header; header = header->pNext)
        header->nFlags = (header->nFlags & ~WaveHeaderQueued) | WaveHeaderDone;
    m_pQueueHead = m_pQueueTail = m_pDoneHead = m_pDoneTail = nullptr;
    m_nHeadOffset = 0;
    SDL_UnlockAudioDevice(m_nDevice);
    while (returned) {
        WaveHeader* header = returned;
        returned = header->pNext;
        header->pNext = nullptr;
        m_callback(this, WaveMessageDone, m_user, header);
    }
    return WaveNoError;
}

int SdlWaveDevice::PrepareHeader(WaveHeader* header) {
    if (!m_nDevice || !header)
        return WaveErrorInvalidParameter;
    SDL_LockAudioDevice(m_nDevice);
    header->nFlags |= WaveHeaderPrepared;
    SDL_UnlockAudioDevice(m_nDevice);
    return WaveNoError;
}

int SdlWaveDevice::UnprepareHeader(WaveHeader* header) {
    if (!m_nDevice || !header)
        return WaveErrorInvalidParameter;
    int result = WaveNoError;
    SDL_LockAudioDevice(m_nDevice);
    if (header->nFlags & WaveHeaderQueued)
        result = WaveErrorStillPlaying;
    else
        header->nFlags &= ~WaveHeaderPrepared;
    SDL_UnlockAudioDevice(m_nDevice);
    return result;
}

int SdlWaveDevice::Write(WaveHeader* header) {
    if (!m_nDevice || !header || (!header->pData && header->nBufferLength > 0))
        return WaveErrorInvalidParameter;
    int result = WaveNoError;
    SDL_LockAudioDevice(m_nDevice);
    if (!(header->nFlags & WaveHeaderPrepared)) {
        result = WaveErrorUnprepared;
    } else if (header->nFlags & WaveHeaderQueued) {
        // Queuing a block twice would tie the queue into a loop.
        result = WaveErrorStillPlaying;
    } else {
        header->nFlags = (header->nFlags & ~WaveHeaderDone) | WaveHeaderQueued;
        Append(m_pQueueHead, m_pQueueTail, header);
    }
    SDL_UnlockAudioDevice(m_nDevice);
    return result;
}

int SdlWaveDevice::Close() {
    if (!m_nDevice)
        return WaveErrorInvalidParameter;
    SDL_PauseAudioDevice(m_nDevice, 1);
    Reset();
    {
        std::lock_guard guard(m_deliveryLock);
        m_bDeliveryStop = true;
    }
    m_deliveryWake.notify_one();
    if (m_delivery.joinable())
        m_delivery.join();
    // From here SDL's callback no longer reaches this object; the SDL device, paused and with
    // nothing queued, waits for the next open.
    SDL_LockAudioDevice(m_nDevice);
    m_pOutput->pDevice = nullptr;
    SDL_UnlockAudioDevice(m_nDevice);
    KeepOutput(std::move(m_pOutput));
    m_nDevice = 0;
    m_callback(this, WaveMessageClose, m_user, nullptr);
    return WaveNoError;
}

// SDL's audio thread, with SDL's device lock held.
void SdlWaveDevice::AudioCallback(void* user, std::uint8_t* stream, int length) {
    const auto* output = static_cast<SdlOutput*>(user);
    if (output->pDevice)
        output->pDevice->FillStream(stream, length, output->nSilence);
    else
        std::memset(stream, output->nSilence, static_cast<std::size_t>(std::max(length, 0)));
}

// SDL's audio thread, with SDL's device lock held.
void SdlWaveDevice::FillStream(std::uint8_t* stream, int length, std::uint8_t silence) {
    auto left = static_cast<std::uint32_t>(std::max(length, 0));
    bool finished = false;
    while (left > 0 && m_pQueueHead) {
        WaveHeader* header = m_pQueueHead;
        std::uint32_t count = std::min(left, header->nBufferLength - m_nHeadOffset);
        if (count > 0) {
            std::memcpy(stream, header->pData + m_nHeadOffset, count);
            stream += count;
            left -= count;
            m_nHeadOffset += count;
            m_nBytesPlayed.fetch_add(count, std::memory_order_release);
        }
        if (m_nHeadOffset >= header->nBufferLength) {
            m_pQueueHead = header->pNext;
            if (!m_pQueueHead)
                m_pQueueTail = nullptr;
            m_nHeadOffset = 0;
            Append(m_pDoneHead, m_pDoneTail, header);
            finished = true;
        }
    }
    std::memset(stream, silence, left);
    if (finished) {
        {
            std::lock_guard guard(m_deliveryLock);
            m_bDeliveryPending = true;
        }
        m_deliveryWake.notify_one();
    }
}

WaveHeader* SdlWaveDevice::TakeDoneBlock() {
    SDL_LockAudioDevice(m_nDevice);
    WaveHeader* header = m_pDoneHead;
    if (header) {
        m_pDoneHead = header->pNext;
        if (!m_pDoneHead)
            m_pDoneTail = nullptr;
        header->pNext = nullptr;
        header->nFlags = (header->nFlags & ~WaveHeaderQueued) | WaveHeaderDone;
    }
    SDL_UnlockAudioDevice(m_nDevice);
    return header;
}

// The delivery thread: returns finished blocks outside SDL's lock, so that a caller that holds
// its own lock while it calls into the device can never wait on a callback that waits on it.
void SdlWaveDevice::DeliverDoneBlocks() {
    std::unique_lock guard(m_deliveryLock);
    for (;;) {
        m_deliveryWake.wait(guard, [this] { return m_bDeliveryPending || m_bDeliveryStop; });
        m_bDeliveryPending = false;
        guard.unlock();
        while (WaveHeader* header = TakeDoneBlock())
            m_callback(this, WaveMessageDone, m_user, header);
        guard.lock();
        if (m_bDeliveryStop && !m_bDeliveryPending)
            return;
    }
}

#include "platform/WaveDevice.h"

#include <SDL.h>
#include <algorithm>
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

    std::unique_ptr<SdlWaveDevice> opened(new SdlWaveDevice(callback, user));
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.format = format.nBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.nChannels);
    wanted.samples = CallbackFrames(format.nSamplesPerSec);
    wanted.callback = &SdlWaveDevice::AudioCallback;
    wanted.userdata = opened.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware plays, and our callback sees the
    // file's own format. SDL opens the device paused.
    opened->m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (opened->m_nDevice == 0)
        return WaveErrorNoDevice;
    opened->m_nSilence = obtained.silence;
    try {
        opened->m_delivery = std::thread(&SdlWaveDevice::DeliverDoneBlocks, opened.get());
    } catch (const std::system_error&) {
        SDL_CloseAudioDevice(opened->m_nDevice);
        opened->m_nDevice = 0;
        return WaveErrorNoMemory;
    }
    callback(opened.get(), WaveMessageOpen, user, nullptr);
    device = std::move(opened);
    return WaveNoError;
}

SdlWaveDevice::~SdlWaveDevice() {
    Close();
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
    SDL_CloseAudioDevice(m_nDevice);
    m_nDevice = 0;
    m_callback(this, WaveMessageClose, m_user, nullptr);
    return WaveNoError;
}

void SdlWaveDevice::AudioCallback(void* user, std::uint8_t* stream, int length) {
    static_cast<SdlWaveDevice*>(user)->FillStream(stream, length);
}

// SDL's audio thread, with SDL's device lock held.
void SdlWaveDevice::FillStream(std::uint8_t* stream, int length) {
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
    std::memset(stream, m_nSilence, left);
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

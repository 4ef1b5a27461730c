#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The wave output device: a block-queue model in which the caller hands in blocks of samples
// and gets each one back through its done callback once the device has played it.

// Format of the samples, as read from a wave file's fmt chunk (18 bytes in the file).
struct WaveFormat {
    std::uint16_t nFormatTag = 0; // 1: PCM
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t nBitsPerSample = 0;
    std::uint16_t nExtraSize = 0;
};

constexpr std::uint16_t WaveFormatPcm = 1;

// One block handed to the device. Its flags belong to the device while it is prepared.
struct WaveHeader {
    std::uint8_t* pData = nullptr;
    std::uint32_t nBufferLength = 0;
    std::uint32_t nBytesRecorded = 0;
    std::uintptr_t nUser = 0;
    std::uint32_t nFlags = 0;
    std::uint32_t nLoops = 0;
    WaveHeader* pNext = nullptr; // the device's own link while the block is queued
    std::uintptr_t nReserved = 0;
};

constexpr std::uint32_t WaveHeaderDone = 0x01;
constexpr std::uint32_t WaveHeaderPrepared = 0x02;
constexpr std::uint32_t WaveHeaderQueued = 0x10;

// Error numbers of the device operations; 0 is success.
constexpr int WaveNoError = 0;
constexpr int WaveErrorGeneral = 1;
constexpr int WaveErrorNoDevice = 2;
constexpr int WaveErrorNoMemory = 7;
constexpr int WaveErrorInvalidParameter = 11;
constexpr int WaveErrorBadFormat = 32;
constexpr int WaveErrorStillPlaying = 33;
constexpr int WaveErrorUnprepared = 34;

// Messages of the done callback.
constexpr unsigned WaveMessageOpen = 0x3BB;
constexpr unsigned WaveMessageClose = 0x3BC;
constexpr unsigned WaveMessageDone = 0x3BD;

class WaveDevice;
// The done callback. It runs on a thread of the device that holds none of the device's locks
// (for a reset, on the thread that called Reset), so it may call the device, except Close.
using WaveOutProc = void (*)(WaveDevice* device, unsigned message, void* user, WaveHeader* header);

class WaveDevice {
public:
    virtual ~WaveDevice() = default;
    // Stops taking samples from the queue; queued blocks stay queued.
    virtual int Pause() = 0;
    // Plays on after Pause.
    virtual int Restart() = 0;
    // Returns every queued block through the done callback before it returns.
    virtual int Reset() = 0;
    virtual int PrepareHeader(WaveHeader* header) = 0;
    // Answers WaveErrorStillPlaying while the block is queued.
    virtual int UnprepareHeader(WaveHeader* header) = 0;
    // Queues a prepared block behind the ones already queued.
    virtual int Write(WaveHeader* header) = 0;
    // Returns any block still queued, then releases the device. The object may then be deleted.
    virtual int Close() = 0;
};

// Opens the default output device for exactly `format`, paused. Returns an error number; on
// success `device` holds the open device.
using WaveOutOpener = std::function<int(std::unique_ptr<WaveDevice>& device, const WaveFormat& format,
                                        WaveOutProc callback, void* user)>;
int WaveOutOpen(std::unique_ptr<WaveDevice>& device, const WaveFormat& format, WaveOutProc callback,
                void* user);
// Puts another opener in place of the SDL one (tests record what the player asks of the device).
// An empty opener restores the SDL one. Returns the opener that was in place.
WaveOutOpener SetWaveOutOpener(WaveOutOpener opener);

struct SdlOutput;

// The device on an SDL audio device. SDL's audio thread takes the samples from the queued blocks
// under SDL's device lock; the blocks it finishes are handed to a delivery thread of ours, which
// runs the done callback with no lock held.
//
// Closing an SDL device waits for its audio thread, tens of milliseconds, while opening one is
// quick. So Close keeps the SDL device open, paused and empty, and the next Open of the same
// format takes it over: a sound that stops the one before starts at once. The kept SDL device is
// really closed when a device of another format opens, after a few idle seconds, and at exit.
class SdlWaveDevice : public WaveDevice {
public:
    static int Open(std::unique_ptr<WaveDevice>& device, const WaveFormat& format, WaveOutProc callback,
                    void* user);
    ~SdlWaveDevice() override;

    // Really closes the SDL device kept for the next open, if there is one. SDL's disk driver, for
    // one, completes its output file only then.
    static void CloseKeptDevice();

    int Pause() override;
    int Restart() override;
    int Reset() override;
    int PrepareHeader(WaveHeader* header) override;
    int UnprepareHeader(WaveHeader* header) override;
    int Write(WaveHeader* header) override;
    int Close() override;

    // Bytes of the queued blocks that SDL's audio thread has taken so far.
    std::uint64_t BytesPlayed() const { return m_nBytesPlayed.load(std::memory_order_acquire); }

private:
    SdlWaveDevice(WaveOutProc callback, void* user);
    static void AudioCallback(void* user, std::uint8_t* stream, int length);
    void FillStream(std::uint8_t* stream, int length, std::uint8_t silence);
    void DeliverDoneBlocks();
    WaveHeader* TakeDoneBlock();

    WaveOutProc m_callback;
    void* m_user;
    // The SDL device this device feeds while it is open; m_nDevice is its SDL id, 0 once closed.
    std::unique_ptr<SdlOutput> m_pOutput;
    std::uint32_t m_nDevice = 0;

    // Under SDL's device lock: the blocks still to play, the bytes of the first one already
    // played, and the blocks played but not yet returned.
    WaveHeader* m_pQueueHead = nullptr;
    WaveHeader* m_pQueueTail = nullptr;
    std::uint32_t m_nHeadOffset = 0;
    WaveHeader* m_pDoneHead = nullptr;
    WaveHeader* m_pDoneTail = nullptr;

    std::mutex m_deliveryLock;
    std::condition_variable m_deliveryWake;
    bool m_bDeliveryPending = false;
    bool m_bDeliveryStop = false;
    std::thread m_delivery;

    std::atomic<std::uint64_t> m_nBytesPlayed{0};
};

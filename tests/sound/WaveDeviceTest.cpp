#include "platform/WaveDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

// What the done callback received.
struct Returns {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<unsigned> messages;
    std::vector<WaveHeader*> done;

    static void Callback(WaveDevice*, unsigned message, void* user, WaveHeader* header) {
        auto* self = static_cast<Returns*>(user);
        {
            std::lock_guard guard(self->lock);
            self->messages.push_back(message);
            if (message == WaveMessageDone)
                self->done.push_back(header);
        }
        self->changed.notify_all();
    }
    bool WaitForDone(std::size_t count) {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return done.size() >= count; });
    }
    std::size_t DoneCount() {
        std::lock_guard guard(lock);
        return done.size();
    }
};

class SdlDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            m_data[i].assign(400 * (i + 1), static_cast<std::uint8_t>(0x40 + i));
            m_headers[i].pData = m_data[i].data();
            m_headers[i].nBufferLength = static_cast<std::uint32_t>(m_data[i].size());
        }
        m_format.nFormatTag = 1;
        m_format.nChannels = 1;
        m_format.nSamplesPerSec = 8000;
        m_format.nBitsPerSample = 8;
        ASSERT_EQ(SdlWaveDevice::Open(m_device, m_format, &Returns::Callback, &m_returns), 0);
    }
    void TearDown() override {
        if (m_device)
            m_device->Close();
    }
    void QueueAll() {
        for (WaveHeader& header : m_headers) {
            ASSERT_EQ(m_device->PrepareHeader(&header), 0);
            ASSERT_EQ(m_device->Write(&header), 0);
        }
    }
    SdlWaveDevice& Sdl() { return static_cast<SdlWaveDevice&>(*m_device); }

    WaveFormat m_format;
    Returns m_returns;
    std::unique_ptr<WaveDevice> m_device;
    std::vector<std::uint8_t> m_data[3];
    WaveHeader m_headers[3];
};

TEST_F(SdlDevice, PlaysQueuedBlocksInOrderAndReturnsEachOnce) {
    QueueAll();
    // Opened paused: every block is still held.
    for (WaveHeader& header : m_headers)
        EXPECT_EQ(m_device->UnprepareHeader(&header), WaveErrorStillPlaying);
    ASSERT_EQ(m_device->Restart(), 0);
    ASSERT_TRUE(m_returns.WaitForDone(3));
    EXPECT_EQ(m_returns.done, (std::vector<WaveHeader*>{&m_headers[0], &m_headers[1], &m_headers[2]}));
    EXPECT_EQ(Sdl().BytesPlayed(), 400u + 800u + 1200u);
    for (WaveHeader& header : m_headers) {
        EXPECT_TRUE(header.nFlags & WaveHeaderDone);
        EXPECT_EQ(m_device->UnprepareHeader(&header), 0);
        EXPECT_FALSE(header.nFlags & WaveHeaderPrepared);
    }
    EXPECT_EQ(m_device->Close(), 0);
    EXPECT_EQ(m_returns.DoneCount(), 3u);
    EXPECT_EQ(m_returns.messages.front(), WaveMessageOpen);
    EXPECT_EQ(m_returns.messages.back(), WaveMessageClose);
}

TEST_F(SdlDevice, ResetReturnsEveryQueuedBlockBeforeItReturns) {
    QueueAll();
    ASSERT_EQ(m_device->Reset(), 0);
    EXPECT_EQ(m_returns.DoneCount(), 3u);
    EXPECT_EQ(Sdl().BytesPlayed(), 0u);
    for (WaveHeader& header : m_headers)
        EXPECT_EQ(m_device->UnprepareHeader(&header), 0);
    // The device plays on with blocks written after the reset.
    ASSERT_EQ(m_device->PrepareHeader(&m_headers[0]), 0);
    ASSERT_EQ(m_device->Write(&m_headers[0]), 0);
    ASSERT_EQ(m_device->Restart(), 0);
    ASSERT_TRUE(m_returns.WaitForDone(4));
    EXPECT_EQ(Sdl().BytesPlayed(), 400u);
}

TEST_F(SdlDevice, CloseReturnsBlocksStillQueued) {
    QueueAll();
    ASSERT_EQ(m_device->Close(), 0);
    EXPECT_EQ(m_returns.DoneCount(), 3u);
    EXPECT_EQ(m_returns.messages.back(), WaveMessageClose);
}

TEST_F(SdlDevice, RefusesBlocksNotPreparedOrAlreadyQueued) {
    EXPECT_EQ(m_device->Write(&m_headers[0]), WaveErrorUnprepared);
    ASSERT_EQ(m_device->PrepareHeader(&m_headers[0]), 0);
    ASSERT_EQ(m_device->Write(&m_headers[0]), 0);
    EXPECT_EQ(m_device->Write(&m_headers[0]), WaveErrorStillPlaying);
    EXPECT_EQ(m_device->Write(nullptr), WaveErrorInvalidParameter);
}

TEST(SdlDeviceOpen, RefusesFormatsItCannotPlay) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto format = [](std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                           std::uint16_t bits) {
        WaveFormat f;
        f.nFormatTag = tag;
        f.nChannels = channels;
        f.nSamplesPerSec = rate;
        f.nBitsPerSample = bits;
        return f;
    };
    const WaveFormat refused[] = {format(3, 2, 44100, 16), format(1, 0, 44100, 16),
                                  format(1, 3, 44100, 16), format(1, 2, 44100, 24),
                                  format(1, 2, 0, 16),     format(1, 1, 0xFFFFFFFFu, 8)};
    Returns returns;
    for (const WaveFormat& f : refused) {
        std::unique_ptr<WaveDevice> device;
        EXPECT_EQ(SdlWaveDevice::Open(device, f, &Returns::Callback, &returns), WaveErrorBadFormat);
        EXPECT_EQ(device, nullptr);
    }
    EXPECT_TRUE(returns.messages.empty());
}

} // namespace

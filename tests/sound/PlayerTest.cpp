#include "DeviceRecorder.h"
#include "WaveFiles.h"
#include "sound/CWinDA.h"
#include "sound/PlayWave.h"
#include "support/ModalHelper.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// 8000 samples per second, 16-bit mono: a block of 2000 bytes lasts 125 ms.
constexpr std::uint32_t Block = 2000;

class Player : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void SetUp() override { m_player.AllocBuffers(Block); }
    void TearDown() override { m_player.FreeBuffers(); }

    QString Wave(const std::string& samples, const QString& name = "a.wav") {
        return WriteFile(m_folder, name, CanonicalWave(1, 8000, 16, samples));
    }
    std::size_t LastSession() { return m_recorder.Sessions().size() - 1; }

    QTemporaryDir m_folder;
    DeviceRecorder m_recorder;
    CWinDA& m_player = *CWinDA::GetInstance();
};

struct LengthCase {
    const char* name;
    std::size_t bytes;
    std::vector<std::uint32_t> writes; // lengths of the blocks queued, in order
};

// Every sound: two blocks (at most) queued while the device is paused, one refill per block that
// came back, and the device closed once the last block has played to its end.
TEST_F(Player, StreamsEveryLengthOfFileToItsEndAndCloses) {
    const LengthCase cases[] = {
        {"half_a_block", Block / 2, {Block / 2}},
        {"one_block", Block, {Block}},
        {"two_blocks", 2 * Block, {Block, Block}},
        {"two_and_a_half_blocks", 2 * Block + Block / 2, {Block, Block, Block / 2}},
        {"five_blocks", 5 * Block, {Block, Block, Block, Block, Block}},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string samples = SampleBytes(c.bytes, static_cast<int>(c.bytes));
        ASSERT_EQ(m_player.LoadWaveFile(Wave(samples)), 0);
        ASSERT_EQ(m_player.Play(), 1);
        const std::size_t index = LastSession();
        ASSERT_TRUE(m_recorder.WaitForClose(index));
        const DeviceSession s = m_recorder.Sessions()[index];

        const std::size_t startWrites = std::min<std::size_t>(c.writes.size(), 2);
        std::vector<std::string> start = {"open", "pause"};
        start.insert(start.end(), startWrites, "write");
        start.push_back("restart");
        EXPECT_EQ(std::vector<std::string>(s.calls.begin(), s.calls.begin() + start.size()), start);

        std::vector<std::uint32_t> lengths;
        for (const auto& block : s.writes) {
            lengths.push_back(static_cast<std::uint32_t>(block.bytes.size()));
            EXPECT_EQ(block.result, 0);
        }
        EXPECT_EQ(lengths, c.writes);
        EXPECT_EQ(s.WrittenBytes(), samples);

        // Each refill follows a block that came back.
        int done = 0, refills = 0;
        for (const std::string& call : s.calls) {
            done += call == "done";
            if (call == "write" && &call > &s.calls[start.size() - 1]) {
                ++refills;
                EXPECT_LE(refills, done);
            }
        }
        // The last block played to its end before the device closed.
        EXPECT_EQ(s.DoneBeforeReset(), static_cast<int>(c.writes.size()));
        EXPECT_EQ(s.nBytesPlayedAtClose, c.bytes);

        // The end of the data closed the file as well.
        MessageBoxRecorder boxes;
        EXPECT_EQ(m_player.Play(), 0);
        EXPECT_EQ(boxes.texts, QStringList{"Please call the 'LoadWaveFile()' function."});
    }
}

TEST_F(Player, FileWithoutSamplesClosesTheDeviceAtOnce) {
    ASSERT_EQ(m_player.LoadWaveFile(Wave("")), 0);
    EXPECT_EQ(m_player.Play(), 1);
    const DeviceSession s = m_recorder.Sessions().at(0);
    EXPECT_TRUE(s.bClosed);
    EXPECT_TRUE(s.writes.empty());
}

TEST_F(Player, NewSoundStopsThePlayingOneAtOnce) {
    const std::string first = SampleBytes(20 * Block, 1);
    ASSERT_EQ(m_player.LoadWaveFile(Wave(first, "first.wav")), 0);
    ASSERT_EQ(m_player.Play(), 1);
    ASSERT_TRUE(m_recorder.WaitFor([](const auto& s) { return s[0].done.size() >= 1; }));

    const std::string second = SampleBytes(Block / 2, 2);
    ASSERT_EQ(m_player.LoadWaveFile(Wave(second, "second.wav")), 0);
    DeviceSession stopped = m_recorder.Sessions().at(0);
    EXPECT_TRUE(stopped.bClosed);
    EXPECT_LT(stopped.nBytesPlayedAtClose, first.size());
    EXPECT_EQ(stopped.done.size(), stopped.writes.size());

    ASSERT_EQ(m_player.Play(), 1);
    ASSERT_TRUE(m_recorder.WaitForClose(1));
    EXPECT_EQ(m_recorder.Sessions()[1].nBytesPlayedAtClose, second.size());
}

TEST_F(Player, PlayWhilePlayingOrWithoutAFileAsksForALoad) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(m_player.Play(), 0);
    const std::string samples = SampleBytes(3 * Block, 3);
    ASSERT_EQ(m_player.LoadWaveFile(Wave(samples)), 0);
    ASSERT_EQ(m_player.Play(), 1);
    EXPECT_EQ(m_player.Play(), 0);
    EXPECT_EQ(boxes.texts, QStringList(2, "Please call the 'LoadWaveFile()' function."));
    EXPECT_EQ(boxes.captions, QStringList(2, "error"));
    // The sound that plays is not disturbed.
    ASSERT_TRUE(m_recorder.WaitForClose(0));
    EXPECT_EQ(m_recorder.Sessions()[0].nBytesPlayedAtClose, samples.size());
}

TEST_F(Player, DeviceThatFailsToOpenLeavesTheFileLoaded) {
    const std::string samples = SampleBytes(Block, 4);
    const QString path = Wave(samples);
    MessageBoxRecorder boxes;
    m_recorder.nOpenError = WaveErrorBadFormat;
    EXPECT_EQ(PlayWave(m_player, path), 0);
    EXPECT_EQ(boxes.texts, QStringList{"Device error 32"});
    EXPECT_EQ(boxes.captions, QStringList{"error"});
    EXPECT_NE(m_player.m_pFile, nullptr);

    m_recorder.nOpenError = 0;
    ASSERT_EQ(m_player.Play(), 1);
    ASSERT_TRUE(m_recorder.WaitForClose(0));
    EXPECT_EQ(m_recorder.Sessions()[0].WrittenBytes(), samples);
}

TEST_F(Player, FreeBuffersStopsTheSoundAndClosesTheFile) {
    ASSERT_EQ(m_player.LoadWaveFile(Wave(SampleBytes(20 * Block))), 0);
    ASSERT_EQ(m_player.Play(), 1);
    ASSERT_TRUE(m_recorder.WaitFor([](const auto& s) { return s[0].done.size() >= 1; }));
    m_player.FreeBuffers();
    EXPECT_TRUE(m_recorder.Sessions()[0].bClosed);
    EXPECT_EQ(m_player.m_pData[0], nullptr);
    EXPECT_EQ(m_player.m_pFile, nullptr);

    // Also a file whose device never opened.
    m_player.AllocBuffers(Block);
    m_recorder.nOpenError = WaveErrorNoDevice;
    MessageBoxRecorder boxes;
    ASSERT_EQ(PlayWave(m_player, Wave(SampleBytes(Block))), 0);
    m_player.FreeBuffers();
    EXPECT_EQ(m_player.m_pFile, nullptr);
}

} // namespace

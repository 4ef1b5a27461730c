#include "DeviceRecorder.h"
#include "WaveFiles.h"
#include "sound/CWinDA.h"
#include "sound/PlayWave.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// 44100 samples per second, 8-bit mono: a block of 2205 bytes lasts 50 ms, shorter than a timer
// tick, so returned blocks pile up and ticks refill while sounds are being restarted.
constexpr std::uint32_t Block = 2205;
constexpr int Restarts = 200;

// Sounds started rapidly from the user-interface thread while the timer thread refills and
// closes and the device returns blocks: every device session gets its blocks back exactly once,
// never has a block queued twice, streams the file in order, and nothing deadlocks.
TEST(PlayerStress, RapidRestartsLoseNoBlock) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QTemporaryDir folder;
    std::vector<std::string> samples;
    std::vector<QString> paths;
    for (std::size_t blocks : {1u, 2u, 3u, 6u}) {
        samples.push_back(SampleBytes(blocks * Block - Block / 3, static_cast<int>(blocks)));
        paths.push_back(
            WriteFile(folder, QString("s%1.wav").arg(blocks), CanonicalWave(1, 44100, 8, samples.back())));
    }
    DeviceRecorder recorder;
    CWinDA& player = *CWinDA::GetInstance();
    player.AllocBuffers(Block);

    std::vector<std::size_t> played; // file of each session
    for (int i = 0; i < Restarts; ++i) {
        const std::size_t file = static_cast<std::size_t>(i) % paths.size();
        ASSERT_EQ(PlayWave(player, paths[file]), 0);
        played.push_back(file);
        const std::size_t session = played.size() - 1;
        // Restart at once, after a returned block, after a refill, or after the end.
        const int pause = i % 20;
        bool reached = true;
        if (pause >= 14 && pause < 17)
            reached = recorder.WaitFor(
                [&](const auto& s) { return !s[session].done.empty() || s[session].bClosed; });
        else if (pause >= 17 && pause < 19)
            reached = recorder.WaitFor(
                [&](const auto& s) { return s[session].writes.size() > 2 || s[session].bClosed; });
        else if (pause == 19)
            reached = recorder.WaitForClose(session);
        ASSERT_TRUE(reached) << "restart " << i;
    }
    ASSERT_TRUE(recorder.WaitForClose(played.size() - 1));
    player.FreeBuffers();

    const std::vector<DeviceSession> sessions = recorder.Sessions();
    ASSERT_EQ(sessions.size(), played.size());
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        SCOPED_TRACE(i);
        const DeviceSession& s = sessions[i];
        const std::string& data = samples[played[i]];
        EXPECT_TRUE(s.bClosed);
        EXPECT_EQ(s.done.size(), s.writes.size());
        for (const auto& block : s.writes)
            EXPECT_EQ(block.result, 0);
        const std::string written = s.WrittenBytes();
        EXPECT_EQ(written, data.substr(0, written.size()));
        if (s.DoneBeforeReset() == static_cast<int>(s.writes.size()) && written.size() == data.size()) {
            EXPECT_EQ(s.nBytesPlayedAtClose, data.size());
        }
    }
    // The last sound ran to its end undisturbed.
    EXPECT_EQ(sessions.back().WrittenBytes(), samples[played.back()]);
    EXPECT_EQ(sessions.back().nBytesPlayedAtClose, samples[played.back()].size());
}

} // namespace

#include "DeviceRecorder.h"
#include "WaveFiles.h"
#include "sound/CWinDA.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The disk driver writes what the device played, with silence wherever it had nothing to play
// (paused, idle, or waiting for a refill between two blocks). Checks that each of `sounds` in
// turn, cut into blocks, appears in order and complete, with nothing but silence around and
// between them.
::testing::AssertionResult PlayedExactly(const std::string& output, const std::vector<std::string>& sounds,
                                         std::size_t block, char silence) {
    const auto silent = [&](std::size_t from, std::size_t to) {
        return std::all_of(output.begin() + static_cast<long>(from), output.begin() + static_cast<long>(to),
                           [&](char c) { return c == silence; });
    };
    std::size_t position = 0;
    for (std::size_t sound = 0; sound < sounds.size(); ++sound) {
        const std::string& samples = sounds[sound];
        for (std::size_t start = 0; start < samples.size(); start += block) {
            const std::string piece = samples.substr(start, block);
            const auto found = std::search(output.begin() + static_cast<long>(position), output.end(),
                                           piece.begin(), piece.end());
            if (found == output.end())
                return ::testing::AssertionFailure()
                       << "the block at " << start << " of sound " << sound << " was not played";
            const auto at = static_cast<std::size_t>(found - output.begin());
            if (!silent(position, at))
                return ::testing::AssertionFailure()
                       << "other sound before the block at " << start << " of sound " << sound;
            position = at + piece.size();
        }
    }
    if (!silent(position, output.size()))
        return ::testing::AssertionFailure() << "other sound after the end";
    return ::testing::AssertionSuccess();
}

class DiskOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "disk", 1); }
    void TearDown() override {
        m_player.FreeBuffers();
        SdlWaveDevice::CloseKeptDevice();
    }

    // The file the disk driver writes: it takes the name at the open of an SDL device, empties the
    // file, and has written everything once that SDL device has really closed.
    QString SetOutput(const QString& outputName) {
        const QString output = m_folder.filePath(outputName);
        setenv("SDL_DISKAUDIOFILE", QFile::encodeName(output).constData(), 1);
        return output;
    }

    // Plays `path` to its end; the device closes, the SDL device under it may stay open.
    void Play(const QString& path) {
        EXPECT_EQ(m_player.LoadWaveFile(path), 0);
        EXPECT_EQ(m_player.Play(), 1);
        const std::size_t session = m_recorder.Sessions().size() - 1;
        EXPECT_TRUE(m_recorder.WaitForClose(session));
    }

    // Plays `path` to its end on an SDL device of its own and returns what the disk driver wrote.
    std::string PlayToDisk(const QString& path, const QString& outputName) {
        SdlWaveDevice::CloseKeptDevice();
        const QString output = SetOutput(outputName);
        Play(path);
        SdlWaveDevice::CloseKeptDevice();
        return ReadWholeFile(output);
    }

    QTemporaryDir m_folder;
    DeviceRecorder m_recorder;
    CWinDA& m_player = *CWinDA::GetInstance();
};

// The program's own sounds, as the build put them beside the executables: canonical PCM, of the
// intended lengths, played byte for byte.
TEST_F(DiskOutput, ProgramSoundsPlayByteForByte) {
    struct Sound {
        const char* name;
        double minSeconds, maxSeconds;
    };
    m_player.AllocBuffers(44100);
    for (const Sound& sound : {Sound{"OneOK.wav", 0.1, 0.5}, Sound{"AllOK.wav", 1.0, 2.0}}) {
        SCOPED_TRACE(sound.name);
        const QString path = QCoreApplication::applicationDirPath() + "/" + sound.name;
        const std::string file = ReadWholeFile(path);
        ASSERT_GT(file.size(), 44u);
        ASSERT_EQ(m_player.LoadWaveFile(path), 0);
        EXPECT_EQ(m_player.m_nDataOffset, 44);
        const WaveFormat format = m_player.m_format;
        const double seconds = static_cast<double>(file.size() - 44) / format.nAvgBytesPerSec;
        EXPECT_GE(seconds, sound.minSeconds);
        EXPECT_LE(seconds, sound.maxSeconds);

        const std::string output = PlayToDisk(path, QString::fromLatin1(sound.name) + ".raw");
        EXPECT_TRUE(PlayedExactly(output, {file.substr(44)}, 44100, '\0'));
    }
}

TEST_F(DiskOutput, EightBitStereoPlaysAsEightBitAcrossRefills) {
    m_player.AllocBuffers(4000);
    const std::string samples = SampleBytes(3 * 4000 + 2000, 5);
    const QString path = WriteFile(m_folder, "eight.wav", CanonicalWave(2, 8000, 8, samples));
    const std::string output = PlayToDisk(path, "eight.raw");
    EXPECT_EQ(m_recorder.Sessions().at(0).writes.size(), 4u);
    EXPECT_TRUE(PlayedExactly(output, {samples}, 4000, static_cast<char>(0x80)));
}

// The next sound of the same format plays on the SDL device the last one left open, after it in
// the same output; a sound of another format gets an SDL device of its own, which starts a new
// output with its own silence.
TEST_F(DiskOutput, SameFormatPlaysOnTheKeptDeviceAnotherFormatOnANewOne) {
    m_player.AllocBuffers(4000);
    const std::string first = SampleBytes(2 * 4000 + 1000, 1);
    const std::string second = SampleBytes(4000 + 3000, 2);
    const std::string other = SampleBytes(3 * 4000, 3);
    const QString eightBit = SetOutput("eight.raw");
    Play(WriteFile(m_folder, "first.wav", CanonicalWave(2, 8000, 8, first)));
    Play(WriteFile(m_folder, "second.wav", CanonicalWave(2, 8000, 8, second)));
    const QString sixteenBit = SetOutput("sixteen.raw");
    Play(WriteFile(m_folder, "other.wav", CanonicalWave(1, 8000, 16, other)));
    SdlWaveDevice::CloseKeptDevice();

    EXPECT_TRUE(PlayedExactly(ReadWholeFile(eightBit), {first, second}, 4000, static_cast<char>(0x80)));
    EXPECT_TRUE(PlayedExactly(ReadWholeFile(sixteenBit), {other}, 4000, '\0'));
}

} // namespace

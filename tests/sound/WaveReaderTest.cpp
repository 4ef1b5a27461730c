#include "WaveFiles.h"
#include "sound/CWinDA.h"
#include "sound/PlayWave.h"
#include "support/ModalHelper.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The fields of a wave header, to be spoiled one at a time.
struct Header {
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::string fmt = "fmt ";
    std::uint32_t fmtSize = 16;
    std::uint16_t tag = 1;
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::string afterFmt;      // a chunk between fmt and data
    std::string data = "data"; // identifier of the chunk after fmt
    std::string samples = SampleBytes(64);
    std::string afterData;

    std::string Bytes() const {
        const auto align = static_cast<std::uint16_t>(channels * bits / 8);
        std::string bytes = riff;
        Append32(bytes, 0);
        bytes += wave + fmt;
        Append32(bytes, fmtSize);
        std::string format;
        Append16(format, tag);
        Append16(format, channels);
        Append32(format, rate);
        Append32(format, rate * align);
        Append16(format, align);
        Append16(format, bits);
        format.resize(fmtSize, '\0');
        bytes += format + afterFmt + data;
        Append32(bytes, static_cast<std::uint32_t>(samples.size()));
        return bytes + samples + afterData;
    }
};

struct ReaderCase {
    const char* name;
    std::string bytes;
    int code;
    long offset; // of the first sample, when accepted
};

Header With(const std::function<void(Header&)>& change) {
    Header header;
    change(header);
    return header;
}

std::string Chunk(const char* id, std::size_t size) {
    std::string chunk = id;
    Append32(chunk, static_cast<std::uint32_t>(size));
    return chunk + std::string(size, 'x');
}

std::vector<ReaderCase> ReaderCases() {
    const std::string canonical = Header().Bytes();
    return {
        {"canonical", canonical, 0, 44},
        {"fmt_of_18_bytes", With([](Header& h) { h.fmtSize = 18; }).Bytes(), 0, 46},
        {"pcm_8bit_mono", With([](Header& h) { h.bits = 8, h.channels = 1, h.rate = 11025; }).Bytes(), 0, 44},
        {"pcm_8bit_stereo", With([](Header& h) { h.bits = 8, h.rate = 7999; }).Bytes(), 0, 44},
        {"pcm_16bit_mono", With([](Header& h) { h.channels = 1, h.rate = 96000; }).Bytes(), 0, 44},
        {"list_after_data", With([](Header& h) { h.afterData = Chunk("LIST", 26); }).Bytes(), 0, 44},
        {"empty_file", "", 2, 0},
        {"big_endian_rifx", With([](Header& h) { h.riff = "RIFX"; }).Bytes(), 2, 0},
        {"lower_case_riff", With([](Header& h) { h.riff = "riff"; }).Bytes(), 2, 0},
        {"not_wave", With([](Header& h) { h.wave = "AVI "; }).Bytes(), 3, 0},
        {"ends_after_riff_size", canonical.substr(0, 8), 3, 0},
        {"chunk_before_fmt", With([](Header& h) { h.fmt = "LIST"; }).Bytes(), 4, 0},
        {"fmt_without_blank", With([](Header& h) { h.fmt = "fmt\t"; }).Bytes(), 4, 0},
        {"ends_after_fmt_size", canonical.substr(0, 20), 5, 0},
        {"ieee_float", With([](Header& h) { h.tag = 3; }).Bytes(), 5, 0},
        {"three_channels", With([](Header& h) { h.channels = 3; }).Bytes(), 6, 0},
        {"no_channels", With([](Header& h) { h.channels = 0; }).Bytes(), 6, 0},
        {"ends_inside_channels", canonical.substr(0, 23), 6, 0},
        {"24_bits", With([](Header& h) { h.bits = 24; }).Bytes(), 7, 0},
        {"ends_before_bits", canonical.substr(0, 34), 7, 0},
        {"fact_between_fmt_and_data", With([](Header& h) { h.afterFmt = Chunk("fact", 4); }).Bytes(), 8, 0},
        {"ends_before_data_header", canonical.substr(0, 36), 8, 0},
        {"ends_inside_data_header", canonical.substr(0, 42), 8, 0},
        {"odd_fmt_size_no_pad_skipped", With([](Header& h) {
                                            h.fmtSize = 17;
                                            h.afterFmt = std::string(1, '\0');
                                        }).Bytes(),
         8, 0},
        {"huge_fmt_size", canonical.substr(0, 16) + "\xF0\xFF\xFF\xFF" + canonical.substr(20), 8, 0},
        {"data_identifier_case", With([](Header& h) { h.data = "DATA"; }).Bytes(), 8, 0},
    };
}

class WaveReader : public ::testing::Test {
protected:
    void TearDown() override { m_player.Close(); }
    QTemporaryDir m_folder;
    CWinDA& m_player = *CWinDA::GetInstance();
};

TEST_F(WaveReader, ChecksTheHeaderInOrderAndKeepsTheFileOnlyWhenAccepted) {
    for (const ReaderCase& c : ReaderCases()) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile(m_folder, QString::fromLatin1(c.name) + ".wav", c.bytes);
        EXPECT_EQ(m_player.LoadWaveFile(path), c.code);
        if (c.code == 0) {
            ASSERT_NE(m_player.m_pFile, nullptr);
            EXPECT_EQ(m_player.m_nDataOffset, c.offset);
            EXPECT_EQ(std::ftell(m_player.m_pFile), c.offset);
        } else {
            EXPECT_EQ(m_player.m_pFile, nullptr);
        }
    }
}

TEST_F(WaveReader, KeepsTheFormatRecordOfTheFile) {
    const QString path = WriteFile(m_folder, "a.wav", With([](Header& h) {
                                                          h.fmtSize = 18;
                                                          h.channels = 1;
                                                          h.rate = 22050;
                                                          h.bits = 8;
                                                      }).Bytes());
    ASSERT_EQ(m_player.LoadWaveFile(path), 0);
    const WaveFormat& f = m_player.m_format;
    EXPECT_EQ(f.nFormatTag, 1);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
    EXPECT_EQ(f.nAvgBytesPerSec, 22050u);
    EXPECT_EQ(f.nBlockAlign, 1);
    EXPECT_EQ(f.nBitsPerSample, 8);
    EXPECT_EQ(f.nExtraSize, 0);
}

TEST_F(WaveReader, FilesThatCannotBeOpenedGiveCodeOne) {
    EXPECT_EQ(m_player.LoadWaveFile(m_folder.filePath("missing.wav")), 1);
    EXPECT_EQ(m_player.LoadWaveFile(m_folder.path()), 1);
    EXPECT_EQ(m_player.m_pFile, nullptr);
}

TEST_F(WaveReader, PlayWaveShowsTheMessageOfTheCodeWithTheProgramTitle) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(PlayWave(m_player, m_folder.filePath("OneOK.wav")), 1);
    const QString rifx = WriteFile(m_folder, "rifx.wav", With([](Header& h) { h.riff = "RIFX"; }).Bytes());
    EXPECT_EQ(PlayWave(m_player, rifx), 2);
    EXPECT_EQ(boxes.texts, QStringList({"file open error.", "\"RIFF\" chunk not found."}));
    EXPECT_EQ(boxes.captions, QStringList({"KEPIRO", "KEPIRO"}));
}

TEST(WaveFileMessages, CodesOutsideTheTableGetTheFirstEntry) {
    EXPECT_EQ(WaveFileMessage(-1), "unknown error.");
    EXPECT_EQ(WaveFileMessage(13), "unknown error.");
    EXPECT_EQ(WaveFileMessage(8), "\"data\" not found.");
    EXPECT_EQ(WaveFileMessage(12), "8bit pcm is not supported.");
}

} // namespace

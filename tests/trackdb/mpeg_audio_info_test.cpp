#include "trackdb/mpeg_audio_info.h"

#include <gtest/gtest.h>

#include "tag_builder.h"

namespace klango::trackdb {
namespace {

using namespace klango::test;

std::string header(int b1, int b2, int b3 = 0) { return {char(0xFF), char(b1), char(b2), char(b3)}; }

TEST(MpegFrameHeaderTest, VersionsLayersRatesAndLengths) {
    struct Case {
        int b1, b2;
        int version, layer, bitRate, sampleRate, frameLength, samples;
    } cases[] = {
        {0xFB, 0x90, 10, 3, 128, 44100, 417, 1152},  // MPEG 1 layer III
        {0xFB, 0x92, 10, 3, 128, 44100, 418, 1152},  // with padding
        {0xFD, 0x94, 10, 2, 160, 48000, 480, 1152},  // MPEG 1 layer II
        {0xFF, 0x98, 10, 1, 288, 32000, 432, 384},   // MPEG 1 layer I
        {0xF3, 0x80, 20, 3, 64, 22050, 208, 576},    // MPEG 2 layer III
        {0xF5, 0x80, 20, 2, 64, 22050, 417, 1152},   // MPEG 2 layer II
        {0xE3, 0x88, 25, 3, 64, 8000, 576, 576},     // MPEG 2.5 layer III
    };
    for (const Case& c : cases) {
        auto h = parseMpegFrameHeader(header(c.b1, c.b2));
        ASSERT_TRUE(h) << std::hex << c.b1 << " " << c.b2;
        EXPECT_EQ(h->version, c.version);
        EXPECT_EQ(h->layer, c.layer);
        EXPECT_EQ(h->bitRate, c.bitRate);
        EXPECT_EQ(h->sampleRate, c.sampleRate);
        EXPECT_EQ(h->frameLength, c.frameLength) << std::hex << c.b1 << " " << c.b2;
        EXPECT_EQ(h->samplesPerFrame, c.samples);
    }
    EXPECT_TRUE(parseMpegFrameHeader(header(0xFB, 0x90, 0xC0))->mono);
}

TEST(MpegFrameHeaderTest, ReservedAndFreeFormatValuesAreNoHeader) {
    EXPECT_FALSE(parseMpegFrameHeader(header(0xEB, 0x90)));  // version reserved
    EXPECT_FALSE(parseMpegFrameHeader(header(0xF9, 0x90)));  // layer reserved
    EXPECT_FALSE(parseMpegFrameHeader(header(0xFB, 0x00)));  // free format
    EXPECT_FALSE(parseMpegFrameHeader(header(0xFB, 0xF0)));  // bit rate index 15
    EXPECT_FALSE(parseMpegFrameHeader(header(0xFB, 0x9C)));  // sample rate reserved
    EXPECT_FALSE(parseMpegFrameHeader(header(0xFB, 0x90, 0x02)));  // emphasis reserved
    EXPECT_FALSE(parseMpegFrameHeader(std::string("\xFF\xFB\x90", 3)));
    EXPECT_FALSE(parseMpegFrameHeader(std::string("\x7F\xFB\x90\x00", 4)));
}

class MpegAudioInfoTest : public ::testing::Test {
protected:
    std::optional<MpegAudioInfo> infoOf(const std::string& bytes, uint64_t from = 0, uint64_t cut = 0) {
        auto file = m_dir.write("a.mp3", bytes);
        FileWindow window(file);
        return readMpegAudioInfo(window, from, window.size() - cut);
    }
    PlainTempDir m_dir;
};

TEST_F(MpegAudioInfoTest, ConstantBitRateFromTheAudioSize) {
    // 1000 frames of 417 bytes at 16000 bytes per second: 26.06 s.
    auto info = infoOf(mpegFrames(1000));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->firstFrame, 0u);
    EXPECT_FALSE(info->frameCount);
    EXPECT_EQ(info->seconds, 26);
}

TEST_F(MpegAudioInfoTest, XingInfoAndVbriFrameCounts) {
    // 10000 frames of 1152 samples at 44100 Hz: 261.2 s, whatever the file size says.
    auto xing = infoOf(xingFrame(10000) + mpegFrames(3));
    ASSERT_TRUE(xing);
    EXPECT_EQ(xing->frameCount, 10000u);
    EXPECT_EQ(xing->seconds, 261);
    EXPECT_EQ(infoOf(xingFrame(10000, "Info") + mpegFrames(3))->seconds, 261);
    // 5000 frames: 130.6 s.
    EXPECT_EQ(infoOf(vbriFrame(5000) + mpegFrames(3))->seconds, 131);
    // A Xing header without a frame count falls back on the size.
    std::string noCount = mpegHeader() + std::string(32, '\0') + "Xing" + be(0, 4);
    noCount.resize(kFrameLength, '\0');
    EXPECT_EQ(infoOf(noCount + mpegFrames(999))->seconds, 26);
}

TEST_F(MpegAudioInfoTest, FirstFrameAfterJunkAndFalseSyncs) {
    // Junk with a lone sync pattern whose "next frame" is not one.
    std::string junk = std::string(100, 'j') + mpegHeader() + std::string(200, 'k');
    auto info = infoOf("TAGDATA" + junk + mpegFrames(1000), 7);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->firstFrame, 7 + junk.size());
    // The ID3v1 tag is not audio: cut from the end.
    auto cut = infoOf(mpegFrames(1000) + std::string(128, 'T'), 0, 128);
    EXPECT_EQ(cut->seconds, 26);
}

TEST_F(MpegAudioInfoTest, NoAudioFound) {
    EXPECT_FALSE(infoOf(""));
    EXPECT_FALSE(infoOf(std::string(100000, '\0')));
    EXPECT_FALSE(infoOf(std::string(5000, '\xFF')));
    EXPECT_FALSE(infoOf(mpegFrames(5), 10 * kFrameLength));
    // Audio starting beyond the search limit is not found.
    EXPECT_FALSE(infoOf(std::string(kMpegSearchLimit + 10, 'z') + mpegFrames(10)));
    // A single frame that is the last thing in the file counts; a truncated one does not.
    EXPECT_TRUE(infoOf(mpegFrames(1)));
    EXPECT_FALSE(infoOf(mpegFrames(1).substr(0, 300)));
}

}  // namespace
}  // namespace klango::trackdb

#include "trackdb/id3v2_reader.h"

#include <gtest/gtest.h>

#include "tag_builder.h"

namespace klango::trackdb {
namespace {

using namespace klango::test;

class Id3v2ReaderTest : public ::testing::Test {
protected:
    Id3v2Tag readBytes(const std::string& bytes) {
        auto file = m_dir.write("t.mp3", bytes);
        FileWindow window(file);
        return Id3v2Reader(window).read();
    }
    PlainTempDir m_dir;
};

TEST_F(Id3v2ReaderTest, Version23FramesWithFullSizes) {
    // A title longer than 255 bytes: its size does not fit the lowest size byte.
    std::string longTitle(300, 'x');
    std::string frames = frame23("TIT2", text(longTitle)) + frame23("TPE1", text("Band")) +
                         frame23("TALB", text("Best")) + frame23("TCON", text("(17)")) +
                         frame23("TYER", text("2003")) + frame23("TRCK", text("3/10")) +
                         frame23("TLEN", text("245000"));
    std::string tag = id3v2(3, frames, 100);
    Id3v2Tag t = readBytes(tag + mpegFrames(3));
    EXPECT_TRUE(t.present);
    EXPECT_EQ(t.major, 3);
    EXPECT_EQ(t.end, tag.size());
    EXPECT_EQ(t.title, longTitle);
    EXPECT_EQ(t.artist, "Band");
    EXPECT_EQ(t.album, "Best");
    EXPECT_EQ(t.contentType, "(17)");
    EXPECT_EQ(t.year, "2003");
    EXPECT_EQ(t.track, "3/10");
    EXPECT_EQ(t.length, "245000");
}

TEST_F(Id3v2ReaderTest, Version22ThreeLetterIds) {
    std::string frames = frame22("TT2", text("Song")) + frame22("TP1", text("Band")) + frame22("TAL", text("Best")) +
                         frame22("TCO", text("Rock")) + frame22("TYE", text("1999")) + frame22("TRK", text("7")) +
                         frame22("TLE", text("1000")) + frame22("PIC", std::string(5000, '\x01'));
    Id3v2Tag t = readBytes(id3v2(2, frames, 20));
    EXPECT_EQ(t.major, 2);
    EXPECT_EQ(t.title, "Song");
    EXPECT_EQ(t.artist, "Band");
    EXPECT_EQ(t.album, "Best");
    EXPECT_EQ(t.contentType, "Rock");
    EXPECT_EQ(t.year, "1999");
    EXPECT_EQ(t.track, "7");
    EXPECT_EQ(t.length, "1000");
    // Four-letter ids mean nothing in 2.2.
    EXPECT_FALSE(readBytes(id3v2(2, frame23("TIT2", text("Song")))).title);
}

TEST_F(Id3v2ReaderTest, Version24SynchsafeFrameSizesAndTdrc) {
    // 200 bytes: synchsafe 0x00 0x00 0x01 0x48, which read plainly would be 328.
    std::string title(199, 't');
    std::string frames = frame24("TIT2", text(title, 3)) + frame24("TDRC", text("2003-05-01", 3)) +
                         frame24("TPE1", text("Band", 3));
    Id3v2Tag t = readBytes(id3v2(4, frames, 50));
    EXPECT_EQ(t.major, 4);
    EXPECT_EQ(t.title, title);
    EXPECT_EQ(t.year, "2003-05-01");
    EXPECT_EQ(t.artist, "Band");
}

TEST_F(Id3v2ReaderTest, Version24WithPlainSizesOfOtherWriters) {
    std::string title(199, 't');
    std::string frames = frame23("TIT2", text(title)) + frame23("TPE1", text("Band"));
    Id3v2Tag t = readBytes(id3v2(4, frames, 50));
    EXPECT_EQ(t.title, title);
    EXPECT_EQ(t.artist, "Band");
}

TEST_F(Id3v2ReaderTest, BigPictureIsSkippedAndFewReadsAreMade) {
    std::string picture = text("image/jpeg") + std::string(1, '\0') + '\x03' + std::string(1, '\0') +
                          std::string(100 * 1024, '\xFF');
    std::string frames = frame23("APIC", picture) + frame23("TIT2", text("After")) + frame23("TPE1", text("Band"));
    std::string tag = id3v2(3, frames, 500);
    auto file = m_dir.write("p.mp3", tag + mpegFrames(2));
    FileWindow window(file);
    Id3v2Tag t = Id3v2Reader(window).read();
    EXPECT_EQ(t.title, "After");
    EXPECT_EQ(t.artist, "Band");
    EXPECT_EQ(t.end, tag.size());
    // The head, then the frames behind the picture: the picture itself is never read.
    EXPECT_LE(window.readCount(), 2);
}

TEST_F(Id3v2ReaderTest, LastFrameWinsAndPaddingEndsTheList) {
    std::string frames = frame23("TIT2", text("First")) + frame23("TIT2", text("Second"));
    // A frame behind the padding is not part of the tag's frames.
    std::string tag = id3v2(3, frames + std::string(20, '\0') + frame23("TPE1", text("Ghost")));
    Id3v2Tag t = readBytes(tag);
    EXPECT_EQ(t.title, "Second");
    EXPECT_FALSE(t.artist);
}

TEST_F(Id3v2ReaderTest, FramesInTheAudioAreNeverRead) {
    std::string tag = id3v2(3, frame23("TIT2", text("Tag")), 10);
    Id3v2Tag t = readBytes(tag + frame23("TPE1", text("Audio")) + mpegFrames(2));
    EXPECT_EQ(t.title, "Tag");
    EXPECT_FALSE(t.artist);
}

TEST_F(Id3v2ReaderTest, ExtendedHeadersAreSkipped) {
    // 2.3: size excludes itself (6 bytes of flags and padding size follow).
    std::string ext23 = be(6, 4) + std::string(6, '\0');
    Id3v2Tag t3 = readBytes(id3v2(3, ext23 + frame23("TIT2", text("Three")), 0, 0x40));
    EXPECT_EQ(t3.title, "Three");
    // 2.4: synchsafe size including itself, here 6 bytes.
    std::string ext24 = synchsafe(6) + "\x01" + std::string(1, '\0');
    Id3v2Tag t4 = readBytes(id3v2(4, ext24 + frame24("TIT2", text("Four")), 0, 0x40));
    EXPECT_EQ(t4.title, "Four");
}

TEST_F(Id3v2ReaderTest, UnsynchronisationIsUndone) {
    // 2.3: the whole body is unsynchronised; the frame size counts the bytes before that.
    std::string body23 = frame23("TIT2", text("A\xFF\xFE")) + frame23("TPE1", text("Band"));
    std::string raw23;
    for (size_t i = 0; i < body23.size(); ++i) {
        raw23 += body23[i];
        if (static_cast<unsigned char>(body23[i]) == 0xFF) raw23 += '\0';
    }
    Id3v2Tag t3 = readBytes(id3v2(3, raw23, 0, 0x80));
    EXPECT_EQ(t3.title, "A\xFF\xFE");
    EXPECT_EQ(t3.artist, "Band");

    // 2.4: frame by frame, the frame size counts the stored bytes.
    std::string stored = text("B\xFF") + std::string(1, '\0') + "\xE0";
    Id3v2Tag t4 = readBytes(id3v2(4, frame24("TIT2", stored, 0x02) + frame24("TPE1", text("Band"))));
    EXPECT_EQ(t4.title, "B\xFF\xE0");
    EXPECT_EQ(t4.artist, "Band");
}

TEST_F(Id3v2ReaderTest, FrameFlagsAddedBytesAndUnreadableFrames) {
    // 2.4 data length indicator and grouping byte come before the text.
    std::string withLength = synchsafe(5) + text("Song");
    std::string grouped = std::string(1, '\x07') + text("Band");
    std::string compressed = be(100, 4) + std::string("x\x9c garbage");
    Id3v2Tag t = readBytes(id3v2(4, frame24("TIT2", withLength, 0x01) + frame24("TPE1", grouped, 0x40) +
                                        frame24("TALB", compressed, 0x08 | 0x01)));
    EXPECT_EQ(t.title, "Song");
    EXPECT_EQ(t.artist, "Band");
    EXPECT_FALSE(t.album);
}

TEST_F(Id3v2ReaderTest, DamagedTagsGiveWhatIsThereAndNoMore) {
    // Tag size far beyond the file.
    std::string big = "ID3" + std::string("\x03\x00\x00", 3) + synchsafe(200 * 1024 * 1024) +
                      frame23("TIT2", text("Song"));
    Id3v2Tag t1 = readBytes(big);
    EXPECT_EQ(t1.title, "Song");
    EXPECT_EQ(t1.end, big.size());

    // A frame claiming more than the tag holds: its text ends at the tag.
    std::string overrun = "TIT2" + be(1u << 30, 4) + std::string(2, '\0') + text("Cut");
    Id3v2Tag t2 = readBytes(id3v2(3, overrun) + "AUDIO");
    EXPECT_EQ(t2.title, "Cut");

    // A size field with high bits in the header: no frames are read.
    Id3v2Tag t3 = readBytes(std::string("ID3\x03\x00\x00\x80\x80\x80\x80", 10) + frame23("TIT2", text("X")));
    EXPECT_TRUE(t3.present);
    EXPECT_FALSE(t3.title);
    EXPECT_EQ(t3.end, 10u);

    // A header cut short, an unknown version, garbage ids.
    EXPECT_TRUE(readBytes("ID3\x03").present);
    EXPECT_FALSE(readBytes(id3v2(7, frame23("TIT2", text("X")))).title);
    Id3v2Tag t4 = readBytes(id3v2(3, frame23("TIT2", text("Ok")) + "ti\x01t" + std::string(30, 'z')));
    EXPECT_EQ(t4.title, "Ok");

    // A zero-sized frame is no frame and does not blank an earlier one.
    Id3v2Tag t5 = readBytes(id3v2(3, frame23("TIT2", text("Kept")) + frame23("TIT2", "")));
    EXPECT_EQ(t5.title, "Kept");

    EXPECT_FALSE(readBytes("").present);
    EXPECT_FALSE(readBytes("ID").present);
}

TEST_F(Id3v2ReaderTest, TextsLongerThanTheCapAreCut) {
    std::string huge(1 << 20, 'h');
    Id3v2Tag t = readBytes(id3v2(3, frame23("TIT2", text(huge)) + frame23("TPE1", text("Band"))));
    ASSERT_TRUE(t.title);
    EXPECT_EQ(t.title->size(), kMaxTextFrameBytes - 1);
    EXPECT_EQ(t.artist, "Band");
}

TEST_F(Id3v2ReaderTest, FooterCountsInTheTagEnd) {
    std::string tag = id3v2(4, frame24("TIT2", text("S")), 0, 0x10);
    std::string footer = "3DI" + tag.substr(3, 7);
    Id3v2Tag t = readBytes(tag + footer + mpegFrames(2));
    EXPECT_EQ(t.end, tag.size() + footer.size());
}

}  // namespace
}  // namespace klango::trackdb

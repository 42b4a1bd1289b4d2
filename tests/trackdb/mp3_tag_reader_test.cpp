#include "trackdb/mp3_tag_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tag_builder.h"
#include "trackdb/id3v2_reader.h"

namespace klango::trackdb {

void PrintTo(const TagResult& t, std::ostream* os) {
    *os << "{GENRE=" << t.GENRE << " YEAR=" << t.YEAR << " TRACK=" << t.TRACK << " TIME=" << t.TIME
        << " ALBUM=" << t.ALBUM << " GROUP=" << t.GROUP << " TITLE=" << t.TITLE << " TAGREAD=" << t.TAGREAD << "}";
}

namespace {

using namespace klango::test;

GenreTable shippedGenres() {
    return GenreTable::fromFile(std::filesystem::path(KLANGO_BINARY_DIR) / "DBPARAMS.INI");
}

std::string fullFrames(const std::string& tlen = "245000") {
    return frame23("TIT2", text("Song")) + frame23("TPE1", text("Band")) + frame23("TALB", text("Best")) +
           frame23("TCON", text("Rock")) + frame23("TYER", text("2003")) + frame23("TRCK", text("3/10")) +
           frame23("TLEN", text(tlen));
}

class ReadMp3Test : public ::testing::Test {
protected:
    TagResult read(const std::string& relative, const std::string& bytes) {
        return READMP3(m_dir.write(relative, bytes), m_genres);
    }
    PlainTempDir m_dir;
    GenreTable m_genres = shippedGenres();
};

TEST_F(ReadMp3Test, CompleteId3v2TagNeedsNothingElse) {
    // An ID3v1 tag with other texts shows that READTAG is not asked.
    TagResult t = read("a/b/c.mp3", id3v2(3, fullFrames(), 200) + mpegFrames(100) +
                                        id3v1("Other", "Other", "Other", "1999", 0));
    TagResult want;
    want.GENRE = "Rock";
    want.YEAR = 2003;
    want.TRACK = 3;
    want.TIME = "4:05";
    want.ALBUM = "Best";
    want.GROUP = "Band";
    want.TITLE = "Song";
    want.TAGREAD = "ID3V2";
    EXPECT_EQ(t, want);
}

TEST_F(ReadMp3Test, LengthFromTlenMillisecondsElseFromTheAudio) {
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames("95000")) + mpegFrames(10)).TIME, "1:35");
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames("189501"))).TIME, "3:10");
    // No TLEN (or a useless one): the MPEG frames after the tag tell.
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames("0"), 300) + mpegFrames(1000)).TIME, "0:26");
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames("x"), 300) + xingFrame(10000) + mpegFrames(5)).TIME, "4:21");
    // No TLEN and no audio: unknown.
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames("x"), 300)).TIME, "");
}

TEST_F(ReadMp3Test, NumbersOfTheFrames) {
    auto with = [&](const std::string& id, const std::string& value) {
        return read("t.mp3", id3v2(3, fullFrames() + frame23(id, text(value))));
    };
    EXPECT_EQ(with("TRCK", "100").TRACK, 0);
    EXPECT_EQ(with("TRCK", "12/12").TRACK, 12);
    EXPECT_EQ(with("TCON", "(17)").GENRE, "Rock");
    EXPECT_EQ(with("TCON", "(31)").GENRE, "Trance");
    EXPECT_EQ(with("TCON", "(RX)").GENRE, "Remix");
    EXPECT_EQ(with("TCON", "Neue Welle").GENRE, "Neue Welle");
    std::string v24 = frame24("TIT2", text("S")) + frame24("TPE1", text("B")) + frame24("TALB", text("A")) +
                      frame24("TCON", text("Pop")) + frame24("TDRC", text("2003-05-01", 3));
    EXPECT_EQ(READMP3(m_dir.write("t4.mp3", id3v2(4, v24)), m_genres).YEAR, 2003);
    // Year frames in UTF-16 are read too.
    std::string utf16 = std::string("\x01\xFF\xFE" "1\0" "9\0" "8\0" "7\0", 11);
    EXPECT_EQ(read("t.mp3", id3v2(3, fullFrames() + frame23("TYER", utf16))).YEAR, 1987);
}

TEST_F(ReadMp3Test, MissingGenreComesFromTheId3v1GenreByte) {
    std::string frames = frame23("TIT2", text("Song")) + frame23("TPE1", text("Band")) + frame23("TALB", text("Best"));
    TagResult t = read("x/y.mp3", id3v2(3, frames) + mpegFrames(10) + id3v1("Other", "", "", "1999", 17));
    EXPECT_EQ(t.GENRE, "Rock");
    EXPECT_EQ(t.TAGREAD, "ID3V2");  // the first source that gave data
    EXPECT_EQ(t.TITLE, "Song");
    EXPECT_EQ(t.YEAR, 1999);

    // An ID3v2 tag that gives nothing is not named as the source.
    EXPECT_EQ(read("x/y.mp3", id3v2(3, "", 100) + mpegFrames(10)).TAGREAD, "FILE2");
    // Without audio the length from the names stays unknown.
    EXPECT_EQ(read("music/abba/gold/waterloo.mp3", id3v2(3, frames)).TIME, "--:--");
}

// Files tagged by the tools users have; what a tag gave is never replaced by a guess from the names,
// and a file that names no genre gets none.
TEST_F(ReadMp3Test, TagsFromTheToolsAreCompletedNotReplaced) {
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> commands;  // each run with the file's path appended
        TagResult want;
    };
    auto want = [](const char* title, const char* group, const char* album, int track, int year, const char* genre,
                   const char* source) {
        TagResult t;
        t.TITLE = title;
        t.GROUP = group;
        t.ALBUM = album;
        t.TRACK = track;
        t.YEAR = year;
        t.GENRE = genre;
        t.TAGREAD = source;
        t.TIME = "0:26";
        return t;
    };
    const std::vector<Case> cases = {
        {"ID3v2.4 without genre, no ID3v1", "music/abba/gold/05 waterloo.mp3",
         {"/usr/bin/mid3v2 -t Song -a Band -y 2003 -T 3"},
         want("Song", "Band", "Gold", 3, 2003, "", "ID3V2")},
        {"ID3v2.4 with a title only", "music/abba/gold/05 waterloo.mp3", {"/usr/bin/mid3v2 -t Song"},
         want("Song", "Abba", "Gold", 5, 0, "", "ID3V2")},
        {"ID3v2.3 without genre over ID3v1 genre 255", "music/abba/gold/waterloo.mp3",
         {"/usr/bin/id3v2 -1 -t Other -a Band1 -A Alb1 -y 1999", "/usr/bin/id3v2 -2 -t Song -a Band"},
         want("Song", "Band", "Alb1", 0, 1999, "", "ID3V2")},
        {"ID3v2.3 complete but for year and track over ID3v1.1", "m/x.mp3",
         {"/usr/bin/id3v2 -1 -t Other -a Band1 -A Alb1 -y 1979 -T 5", "/usr/bin/id3v2 -2 -t Song -a Band -A Best -g 17"},
         want("Song", "Band", "Best", 5, 1979, "Rock", "ID3V2")},
        {"ID3v2.4 complete but for the track, number in the file name", "m/07 song.mp3",
         {"/usr/bin/mid3v2 -t Song -a Band -A Best -g Rock -y 2001"},
         want("Song", "Band", "Best", 7, 2001, "Rock", "ID3V2")},
        {"ID3v1 genre the table lacks", "m/x.mp3", {"/usr/bin/id3v2 -1 -t Song -a Band -A Best -g 200"},
         want("Song", "Band", "Best", 0, 0, "None", "ID3")},
        {"untagged below a folder with a hyphen", "USB-STICK/Pink Floyd/The Wall/01 In the Flesh.mp3", {},
         want("In the Flesh", "Pink Floyd", "The Wall", 1, 0, "", "FILE2")},
        {"untagged, hyphen in the file name", "USB-STICK/The Wall/Pink Floyd - 01 In the Flesh.mp3", {},
         want("In the Flesh", "Pink Floyd", "", 1, 0, "", "FILE1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto file = m_dir.write(c.file, mpegFrames(1000));
        for (const std::string& command : c.commands) {
            auto r = runCommand(command + " " + shellQuote(file.string()));
            ASSERT_EQ(r.exitCode, 0) << r.output;
        }
        EXPECT_EQ(READMP3(file, m_genres), c.want);
    }
}

TEST_F(ReadMp3Test, Id3v1OnlyAndItsAudioLength) {
    TagResult t = read("m/a.mp3", mpegFrames(1000) + id3v1("Yesterday", "Beatles", "Help", "1965", 13, 7));
    EXPECT_EQ(t.TAGREAD, "ID3");
    EXPECT_EQ(t.TITLE, "Yesterday");
    EXPECT_EQ(t.TRACK, 7);
    EXPECT_EQ(t.GENRE, "Pop");
    EXPECT_EQ(t.TIME, "0:26");
}

TEST_F(ReadMp3Test, NamesKeepTheirCaseAndBecomeCp1252) {
    TagResult t = read("Musik/ABBA/Gr\xC3\xB6\xC3\x9Ften/Waterloo.mp3", mpegFrames(3));
    EXPECT_EQ(t.ALBUM, "Gr\xF6\xDF" "ten");
    EXPECT_EQ(t.GROUP, "ABBA");
    EXPECT_EQ(t.TITLE, "Waterloo");
}

TEST_F(ReadMp3Test, BrokenFilesAreStillEntered) {
    // Vanished before it could be read: the name is all there is.
    TagResult gone = READMP3(m_dir.root() / "nowhere" / "gone.mp3", m_genres);
    EXPECT_EQ(gone.TAGREAD, "FILE2");
    EXPECT_EQ(gone.TITLE, "gone");
    EXPECT_EQ(gone.ALBUM, "Nowhere");
    EXPECT_EQ(gone.TIME, "--:--");

    EXPECT_EQ(read("empty.mp3", "").TAGREAD, "FILE2");
    // Cut in the middle of the first frame: nothing from the tag.
    std::string tag = id3v2(3, fullFrames());
    TagResult cut = read("cut.mp3", tag.substr(0, 20));
    EXPECT_EQ(cut.TAGREAD, "FILE2");
    EXPECT_EQ(cut.TITLE, "cut");
    // Cut after two frames: what they gave stays.
    TagResult cut2 = read("cut.mp3", tag.substr(0, 40));
    EXPECT_EQ(cut2.TAGREAD, "ID3V2");
    EXPECT_EQ(cut2.TITLE, "Song");
    EXPECT_EQ(cut2.GROUP, "Band");
    // A tag claiming 256 MB in a small file.
    TagResult huge = read("huge.mp3", "ID3\x03" + std::string(2, '\0') + std::string("\x7F\x7F\x7F\x7F") +
                                          fullFrames());
    EXPECT_EQ(huge.TITLE, "Song");
    EXPECT_EQ(huge.TIME, "4:05");
}

TEST_F(ReadMp3Test, RandomBytesNeverBreakTheReader) {
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string seed = id3v2(3, fullFrames() + frame23("APIC", std::string(3000, 'p')), 100) + mpegFrames(20) +
                       id3v1("T", "A", "B", "2000", 1, 3);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round % 3 == 0) {
            bytes.resize(static_cast<size_t>(byte(random)) * 40);
            for (char& c : bytes) c = char(byte(random));
        } else {
            // The sample tag with some bytes damaged, some of them in the header.
            bytes = seed.substr(0, seed.size() - static_cast<size_t>(byte(random)) * (round % 2));
            for (int k = 0; k < 8; ++k) {
                size_t at = round % 4 == 1 ? static_cast<size_t>(byte(random) % 10) : random() % bytes.size();
                bytes[at] = char(byte(random));
            }
        }
        TagResult t = read("r.mp3", bytes);
        EXPECT_FALSE(t.TAGREAD.empty());
        EXPECT_LE(t.TRACK, 99);
        EXPECT_GE(t.TRACK, 0);
        EXPECT_LT(t.YEAR, 10000);
        EXPECT_LE(t.TITLE.size(), kMaxTextFrameBytes);
    }
}

}  // namespace
}  // namespace klango::trackdb

namespace klango::trackdb {
namespace {

using namespace klango::test;

bool haveTool(const std::string& name) { return runCommand("command -v " + name).exitCode == 0; }

// Files encoded by lame from a two-second tone, then tagged by the tools users have.
class TaggedFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new PlainTempDir;
        if (!haveTool("sox") || !haveTool("lame")) return;
        auto wav = s_dir->root() / "tone.wav";
        auto mp3 = s_dir->root() / "tone.mp3";
        runCommand("sox -n -r 44100 -c 1 " + shellQuote(wav.string()) + " synth 2 sine 440");
        runCommand("lame --quiet " + shellQuote(wav.string()) + " " + shellQuote(mp3.string()));
        if (std::filesystem::exists(mp3)) s_tone = readFileBytes(mp3);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override {
        if (s_tone.empty()) GTEST_SKIP() << "sox or lame missing";
    }
    std::filesystem::path freshCopy(const std::string& relative) { return s_dir->write(relative, s_tone); }

    static inline PlainTempDir* s_dir = nullptr;
    static inline std::string s_tone;
    GenreTable m_genres = GenreTable::fromFile(std::filesystem::path(KLANGO_BINARY_DIR) / "DBPARAMS.INI");
};

TEST_F(TaggedFileTest, UntaggedEncoderOutput) {
    TagResult t = READMP3(freshCopy("plain/gold/waterloo.mp3"), m_genres);
    EXPECT_EQ(t.TAGREAD, "FILE2");
    EXPECT_EQ(t.ALBUM, "Gold");
    EXPECT_EQ(t.TITLE, "waterloo");
    EXPECT_EQ(t.TIME, "0:02");  // from lame's Info frame
}

TEST_F(TaggedFileTest, Id3v2ToolWritesVersion23AndId3v11) {
    if (!haveTool("id3v2")) GTEST_SKIP() << "id3v2 missing";
    auto file = freshCopy("id3v2/song.mp3");
    auto r = runCommand("id3v2 -t Song -a Band -A Best -g 17 -y 2003 -T 3/10 " + shellQuote(file.string()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    TagResult t = READMP3(file, m_genres);
    EXPECT_EQ(t.TAGREAD, "ID3V2");
    EXPECT_EQ(t.TITLE, "Song");
    EXPECT_EQ(t.GROUP, "Band");
    EXPECT_EQ(t.ALBUM, "Best");
    EXPECT_EQ(t.GENRE, "Rock");
    EXPECT_EQ(t.YEAR, 2003);
    EXPECT_EQ(t.TRACK, 3);
    EXPECT_EQ(t.TIME, "0:02");

    // The same file with its ID3v2 tag removed: the ID3v1.1 tag speaks.
    r = runCommand("id3v2 --delete-v2 " + shellQuote(file.string()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    TagResult v1 = READMP3(file, m_genres);
    EXPECT_EQ(v1.TAGREAD, "ID3");
    EXPECT_EQ(v1.TITLE, "Song");
    EXPECT_EQ(v1.GROUP, "Band");
    EXPECT_EQ(v1.ALBUM, "Best");
    EXPECT_EQ(v1.GENRE, "Rock");
    EXPECT_EQ(v1.YEAR, 2003);
    EXPECT_EQ(v1.TRACK, 3);
    EXPECT_EQ(v1.TIME, "0:02");
}

TEST_F(TaggedFileTest, Mid3v2WritesVersion24InUtf8) {
    if (!haveTool("mid3v2")) GTEST_SKIP() << "mid3v2 missing";
    auto file = freshCopy("mid3v2/song.mp3");
    auto r = runCommand("mid3v2 -t " + shellQuote("Grüße aus Köln €") + " -a " + shellQuote("Björk 日本") +
                        " -A Album -g Trip-Hop -y 2003-05-01 -T 4/12 --TLEN 245000 " + shellQuote(file.string()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto check = runPython("import sys\nfrom mutagen.id3 import ID3\nt = ID3(sys.argv[1])\n"
                           "print(t.version[1], int(t['TIT2'].encoding))\n",
                           {file.string()});
    EXPECT_EQ(check.output, "4 3\n");
    TagResult t = READMP3(file, m_genres);
    EXPECT_EQ(t.TAGREAD, "ID3V2");
    EXPECT_EQ(t.TITLE, "Gr\xFC\xDF" "e aus K\xF6ln \x80");
    EXPECT_EQ(t.GROUP, "Bj\xF6rk ??");
    EXPECT_EQ(t.ALBUM, "Album");
    EXPECT_EQ(t.GENRE, "Trip-Hop");
    EXPECT_EQ(t.YEAR, 2003);
    EXPECT_EQ(t.TRACK, 4);
    EXPECT_EQ(t.TIME, "4:05");
}

TEST_F(TaggedFileTest, MutagenUtf16InBothVersionsWithAPicture) {
    auto file23 = freshCopy("mutagen/v23.mp3");
    auto file24 = freshCopy("mutagen/v24.mp3");
    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ID3, TIT2, TPE1, TALB, TCON, TYER, TDRC, TRCK, APIC\n"
        "for path, version in ((sys.argv[1], 3), (sys.argv[2], 4)):\n"
        "    t = ID3()\n"
        "    t.add(APIC(encoding=0, mime='image/png', type=3, desc='', data=b'\\xff' * 150000))\n"
        "    t.add(TIT2(encoding=1, text='Caf\\u00e9 \\u0141\\u00f3d\\u017a'))\n"
        "    t.add(TPE1(encoding=1, text='Ren\\u00e9e'))\n"
        "    t.add(TALB(encoding=2 if version == 4 else 1, text='\\u00c4rger'))\n"
        "    t.add(TCON(encoding=1, text='(17)'))\n"
        "    t.add(TYER(encoding=1, text='1999') if version == 3 else TDRC(encoding=1, text='1999-12'))\n"
        "    t.add(TRCK(encoding=1, text='11/12'))\n"
        "    t.save(path, v2_version=version)\n";
    auto r = runPython(script, {file23.string(), file24.string()});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    for (const auto& file : {file23, file24}) {
        SCOPED_TRACE(file.string());
        TagResult t = READMP3(file, m_genres);
        EXPECT_EQ(t.TAGREAD, "ID3V2");
        // Ł and ź are not in the code page; ó is.
        EXPECT_EQ(t.TITLE, "Caf\xE9 ?\xF3" "d?");
        EXPECT_EQ(t.GROUP, "Ren\xE9" "e");
        EXPECT_EQ(t.ALBUM, "\xC4rger");
        EXPECT_EQ(t.GENRE, "Rock");
        EXPECT_EQ(t.YEAR, 1999);
        EXPECT_EQ(t.TRACK, 11);
        EXPECT_EQ(t.TIME, "0:02");
    }
}

}  // namespace
}  // namespace klango::trackdb

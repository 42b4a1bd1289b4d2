// The names a copy writes: flat names from the tags, structured targets below the destination,
// and the claims that keep two tracks from one file.
#include "output/transfer_names.h"

#include <gtest/gtest.h>

namespace klango::output {
namespace {

namespace fs = std::filesystem;

TEST(TransferNames, FlatNamesFromTheTagsAreSafeOnEveryMedium) {
    struct Case {
        TrackNameParts parts;
        FlatNameOptions options;
        std::string expected;
    };
    const Case cases[] = {
        {{"Abba", "Gold", "Waterloo", 3, "w.mp3"}, {}, "Waterloo.mp3"},
        {{"Abba", "Gold", "Waterloo", 3, "w.mp3"}, {true, true, true}, "Abba - Gold - 03 Waterloo.mp3"},
        {{"Abba", "Gold", "Waterloo", 12, "w.MP3"}, {false, false, true}, "12 Waterloo.MP3"},
        // Track 0 gets no number; a slash or full stop in the artist becomes a blank.
        {{"AC/DC", "", "T.N.T.", 0, "x.y.mp3"}, {true, false, true}, "AC DC - T N T.mp3"},
        // What no medium takes in a name: * ? " < > | and control characters.
        {{"A*B", "", "Wh?at \"is\" <this>|\x01", 0, "a.mp3"}, {true, false, false}, "A B - Wh at  is   this.mp3"},
        // Nothing left of the title: "Titel"; a file without extension gets none.
        {{"", "", " ./ ", 0, "noext"}, {}, "Titel"},
        {{"", "", "..", 0, "a.mp3"}, {}, "Titel.mp3"},
    };
    for (const Case& c : cases) EXPECT_EQ(flatFileName(c.parts, c.options), c.expected) << c.parts.title;

    // A name too long for a file system is shortened, its extension kept.
    const std::string longTitle(300, 'x');
    const std::string name = flatFileName({"", "", longTitle, 0, "a.mp3"}, {});
    EXPECT_LE(name.size(), 250u);
    EXPECT_EQ(name.substr(name.size() - 4), ".mp3");
}

TEST(TransferNames, StructuredTargetsStayBelowTheDestination) {
    struct Case {
        fs::path destination, source, drive, expected;
    };
    const Case cases[] = {
        {"/out", "/media/u/CD1/Abba/Gold/w.mp3", "/media/u/CD1", "/out/Abba/Gold/w.mp3"},
        // A drive root as destination: one separator between it and the path below the drive.
        {"/media/stick/", "/media/u/CD1/Abba/w.mp3", "/media/u/CD1/", "/media/stick/Abba/w.mp3"},
        // Tracks on the root file system keep their whole path.
        {"/out", "/home/u/Musik/w.mp3", "/", "/out/home/u/Musik/w.mp3"},
        // ".." cannot climb out of the destination.
        {"/out", "/media/u/CD1/../../../etc/w.mp3", "/media/u/CD1", "/out/etc/w.mp3"},
        {"/out", "/media/u/CD1/a/./../b.mp3", "/media/u/CD1", "/out/a/b.mp3"},
        // A folder named like an MP3 file is a folder like any other.
        {"/out", "/media/u/CD1/Hits.MP3/w.mp3", "/media/u/CD1", "/out/Hits.MP3/w.mp3"},
        {"/out", "/media/u/CD1/..", "/media/u/CD1", ""},
    };
    for (const Case& c : cases) {
        const fs::path target = structuredTarget(c.destination, c.source, c.drive);
        EXPECT_EQ(target.string(), c.expected.string()) << c.source;
        if (!target.empty()) {
            EXPECT_EQ(target.lexically_normal().string().rfind(c.destination.lexically_normal().string(), 0), 0u)
                << c.source;
        }
    }
}

TEST(TransferNames, ASecondTrackForTheSameNameGetsANumber) {
    TargetClaims claims;
    EXPECT_EQ(claims.claim("/out/Song.mp3", "/a/1.mp3"), fs::path("/out/Song.mp3"));
    EXPECT_EQ(claims.claim("/out/song.MP3", "/a/2.mp3"), fs::path("/out/song (2).MP3"));
    EXPECT_EQ(claims.claim("/out/Song.mp3", "/a/3.mp3"), fs::path("/out/Song (3).mp3"));
    // The same file asks again: the same name.
    EXPECT_EQ(claims.claim("/out/Song.mp3", "/a/1.mp3"), fs::path("/out/Song.mp3"));
    EXPECT_EQ(claims.claim("/out/Other.mp3", "/a/2.mp3"), fs::path("/out/Other.mp3"));
}

}  // namespace
}  // namespace klango::output

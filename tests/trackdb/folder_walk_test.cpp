#include "trackdb/folder_walk.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "tag_builder.h"

namespace klango::trackdb {
namespace {

namespace fs = std::filesystem;
using test::PlainTempDir;

std::vector<std::string> relativeTexts(const FolderWalkResult& r, const fs::path& base) {
    const std::string prefix = base::utf8ToCp1252(base.string()) + "/";
    std::vector<std::string> out;
    for (const FoundFile& f : r.files) {
        EXPECT_EQ(f.text.compare(0, prefix.size(), prefix), 0) << f.text;
        EXPECT_TRUE(fs::exists(f.path)) << f.text;
        out.push_back(f.text.substr(prefix.size()));
    }
    return out;
}

TEST(FolderWalk, ReadsInLowerCasedPathOrderKeepingTheCase) {
    PlainTempDir dir;
    dir.write("a/y.mp3", "x");
    dir.write("B/z.mp3", "x");
    dir.write("x.mp3", "x");
    dir.write("Upper.MP3", "x");
    dir.write("a/Deep/w.Mp3", "x");
    dir.write("a/notes.txt", "x");
    dir.write("B/song.mp3.part", "x");
    fs::create_directories(dir.root() / "empty");

    FolderWalk walk(dir.root(), "*.MP3");
    size_t top = 0;
    std::vector<std::string> folders;
    walk.onTopFolders = [&](size_t n) { top = n; };
    walk.onFolder = [&](const std::string& f) { folders.push_back(f); };
    FolderWalkResult r = walk.run();

    EXPECT_EQ(relativeTexts(r, dir.root()),
              (std::vector<std::string>{"a/Deep/w.Mp3", "a/y.mp3", "B/z.mp3", "Upper.MP3", "x.mp3"}));
    EXPECT_EQ(top, 3u);             // a, B, empty
    EXPECT_EQ(folders.size(), 4u);  // and a/Deep below them
    EXPECT_EQ(r.skippedCount, 0u);
}

TEST(FolderWalk, LeavesOutHiddenEntriesAndLinkedFolders) {
    PlainTempDir dir;
    dir.write("keep.mp3", "x");
    dir.write(".dot.mp3", "x");
    dir.write(".hidden/inside.mp3", "x");
    dir.write("music/.also.mp3", "x");
    dir.write("music/ok.mp3", "x");
    PlainTempDir other;
    other.write("elsewhere.mp3", "x");
    fs::create_directory_symlink(other.root(), dir.root() / "linked");
    // A link back up would walk for ever if it were followed.
    fs::create_directory_symlink(dir.root(), dir.root() / "music" / "loop");
    fs::create_symlink(dir.root() / "keep.mp3", dir.root() / "alias.mp3");
    fs::create_symlink(dir.root() / "gone.mp3", dir.root() / "dangling.mp3");
    fs::create_directory(dir.root() / "folder.mp3");

    FolderWalkResult r = FolderWalk(dir.root(), "*.MP3").run();
    // A link to a file is read as that file; a dangling link and a folder named like a file are not.
    EXPECT_EQ(relativeTexts(r, dir.root()),
              (std::vector<std::string>{"alias.mp3", "keep.mp3", "music/ok.mp3"}));
}

TEST(FolderWalk, SkipsAndCountsNamesOutsideTheCodePage) {
    PlainTempDir dir;
    dir.write("Caf\xC3\xA9.mp3", "x");               // é is in CP1252
    dir.write("\xE6\x97\xA5\xE6\x9C\xAC.mp3", "x");  // two CJK characters are not
    dir.write("\xE2\x98\x83/snow.mp3", "x");         // nor a snowman in a folder name
    dir.write("bad\xFF.mp3", "x");                   // nor a byte that is no UTF-8

    FolderWalkResult r = FolderWalk(dir.root(), "*.MP3").run();
    ASSERT_EQ(r.files.size(), 1u);
    EXPECT_EQ(r.files[0].text.substr(r.files[0].text.size() - 8), "Caf\xE9.mp3");
    EXPECT_EQ(r.files[0].path.filename().string(), "Caf\xC3\xA9.mp3");
    EXPECT_EQ(r.skippedCount, 3u);
    ASSERT_EQ(r.skippedNames.size(), 3u);
    // Named as the file system names them, for a view that can show them.
    std::vector<std::string> expected = {(dir.root() / "\xE6\x97\xA5\xE6\x9C\xAC.mp3").string(),
                                         (dir.root() / "\xE2\x98\x83/snow.mp3").string(),
                                         (dir.root() / "bad\xFF.mp3").string()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(r.skippedNames, expected);
}

TEST(FolderWalk, StaysOnTheSourceFileSystem) {
    PlainTempDir dir;
    dir.write("disk.mp3", "x");
    const fs::path mountPoint = dir.root() / "mounted";
    fs::create_directory(mountPoint);
    const std::string mount =
        "mount -t tmpfs klangotest " + test::shellQuote(mountPoint.string()) + " 2>/dev/null";
    if (std::system(mount.c_str()) != 0) GTEST_SKIP() << "cannot mount a file system here";
    test::writeFileBytes(mountPoint / "other.mp3", "x");

    FolderWalkResult r = FolderWalk(dir.root(), "*.MP3").run();
    std::system(("umount " + test::shellQuote(mountPoint.string())).c_str());
    EXPECT_EQ(relativeTexts(r, dir.root()), (std::vector<std::string>{"disk.mp3"}));
}

TEST(FolderWalk, MissingSourceGivesNothing) {
    PlainTempDir dir;
    FolderWalkResult r = FolderWalk(dir.root() / "nowhere", "*.MP3").run();
    EXPECT_TRUE(r.files.empty());
    EXPECT_EQ(r.skippedCount, 0u);
}

}  // namespace
}  // namespace klango::trackdb

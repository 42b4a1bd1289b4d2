#include "shell/rx_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_names.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango::shell;
using klango::platform::Volumes;

namespace {

// A fake /proc and /dev below the test's program folder; mount points are real folders there.
class FakeDrives {
  public:
    FakeDrives() {
        fs::create_directories(m_home.root() / "proc" / "self");
        fs::create_directories(m_home.root() / "dev" / "disk" / "by-label");
    }
    const klango::test::TempHome& home() const { return m_home; }
    fs::path mnt(const std::string& name) const { return m_home.root() / "mnt" / name; }
    // Mounts a device (fsType) at mnt(name); escapedLabel as udev names the by-label link.
    void mount(const std::string& name, const std::string& fsType, const std::string& escapedLabel = {}) {
        fs::create_directories(mnt(name));
        std::string device = "dev" + std::to_string(++m_count);
        klango::test::writeFileBytes(m_home.root() / "dev" / device, "");
        if (!escapedLabel.empty())
            fs::create_symlink("../../" + device, m_home.root() / "dev" / "disk" / "by-label" / escapedLabel);
        m_info += std::to_string(m_count) + " 1 8:" + std::to_string(m_count) + " / " + mnt(name).string() +
                  " rw - " + fsType + " /dev/" + device + " rw\n";
        klango::test::writeFileBytes(m_home.root() / "proc" / "self" / "mountinfo", m_info);
    }
    Volumes volumes() const { return Volumes(m_home.root() / "proc", m_home.root() / "dev"); }
    std::string source(const std::string& name) const { return mnt(name).string() + "/"; }

  private:
    klango::test::TempHome m_home;
    std::string m_info;
    int m_count = 0;
};

TEST(RxHelpersTest, CapitalisesAfterEachOfTheSeparatorsOnly) {
    EXPECT_EQ(RXSTRCAPALL("best of-rock"), "Best Of-Rock");
    EXPECT_EQ(RXSTRCAPALL("ROCK.DBF"), "ROCK.DBF");
    EXPECT_EQ(RXSTRCAPALL("a+b"), "A+B");
    EXPECT_EQ(RXSTRCAPALL("rOCK aND rOLL"), "ROCK AND ROLL");  // nothing is lowered
    EXPECT_EQ(RXSTRCAPALL(""), "");

    const std::string separators("\x00\x09\x0A\x0C\x1A\x20\x8A\x8C,.;:!?/\\<>()#&%+-*", 26);
    for (char sep : separators) {
        std::string text = std::string("x") + sep + "y";
        EXPECT_EQ(RXSTRCAPALL(text), std::string("X") + sep + "Y") << "separator " << int((unsigned char)sep);
    }
    // Other punctuation and the CP1252 neighbours of 138 and 140 do not start a word.
    for (char other : std::string("_'\"=@[]{}|~$^`\x89\x8B\x8D\x9A\x9C\xA0")) {
        std::string text = std::string("x") + other + "y";
        EXPECT_EQ(RXSTRCAPALL(text), std::string("X") + other + "y")
            << "character " << int((unsigned char)other);
    }
    // Only a to z are raised: umlauts stay, and the word goes on after them.
    EXPECT_EQ(RXSTRCAPALL("\xe4rger \xfc"
                          "ber alles"),
              "\xe4rger \xfc"
              "ber Alles");
}

TEST(RxHelpersTest, CountsPathPiecesPlusOne) {
    EXPECT_EQ(NUMTOKEN("C:\\Musik\\Rock\\a.mp3", "\\"), 5);
    EXPECT_EQ(NUMTOKEN("C:", "\\"), 2);
    EXPECT_EQ(NUMTOKEN("", "\\"), 1);
    EXPECT_EQ(NUMTOKEN("C:\\Musik\\\\Rock", "\\"), 3);     // stops at the empty piece
    EXPECT_EQ(NUMTOKEN("C:\\Musik\\   \\Rock", "\\"), 3);  // a blank piece is empty too
    EXPECT_EQ(NUMTOKEN("Musik/Rock/", "/"), 3);
    // Blank separator: a run of blanks separates once, leading blanks included.
    EXPECT_EQ(NUMTOKEN("Best  of   Rock", " "), 4);
    EXPECT_EQ(NUMTOKEN("   Best of", " "), 3);
    EXPECT_EQ(NUMTOKEN("   ", " "), 1);
}

TEST(RxHelpersTest, AbsoluteLinuxPathCountsLikeAWindowsPath) {
    const std::string path = "/Musik/Pink Floyd/Animals/01 Dogs.mp3";
    int r = NUMTOKEN(path, "/");
    EXPECT_EQ(r, 5);
    EXPECT_EQ(tokenPiece(path, "/", r - 1), "01 Dogs.mp3");
    EXPECT_EQ(tokenPiece(path, "/", r - 2), "Animals");
    EXPECT_EQ(tokenPiece(path, "/", r - 3), "Pink Floyd");
    EXPECT_EQ(tokenPiece(path, "/", 0), "");
    EXPECT_EQ(tokenPiece(path, "/", r), "");
    const std::string win = "C:\\Musik\\Rock\\a.mp3";
    EXPECT_EQ(tokenPiece(win, "\\", NUMTOKEN(win, "\\") - 1), "a.mp3");
    EXPECT_EQ(tokenPiece(win, "\\", 1), "C:");
}

TEST(RxHelpersTest, CentresDialogOnStartRectangle) {
    std::array<int, 8> rect{0, 0, 295, 433, 0, 0, 0, 0};
    RX_CENTERDIALOG(rect, 0, 0, 480, 640);
    EXPECT_EQ(rect, (std::array<int, 8>{0, 0, 295, 433, 93, 104, 388, 537}));

    AppState state;
    state.NW_TOP = 100;
    state.NW_LEFT = 50;
    state.NW_BOTTOM = 701;
    state.NW_RIGHT = 851;
    std::array<int, 8> odd{0, 0, 201, 301, 0, 0, 0, 0};
    RX_CENTERDIALOG(odd, state);
    // Centre 400.5 -> 400 less 100 (100.5 truncated); centre 450.5 -> 450 less 150.
    EXPECT_EQ(odd, (std::array<int, 8>{0, 0, 201, 301, 300, 300, 501, 601}));
}

TEST(RxHelpersTest, CentresWindowReachingOffTheDesktopByTruncatingTowardsZero) {
    // Top -3, bottom 2: 2.5 - 3 = -0.5 truncates to 0 (whole-number halving would give -1).
    std::array<int, 8> rect{0, 0, 3, 5, 0, 0, 0, 0};
    RX_CENTERDIALOG(rect, -3, -10, 2, 7);
    EXPECT_EQ(rect, (std::array<int, 8>{0, 0, 3, 5, -1, -3, 2, 2}));
}

TEST(RxHelpersTest, DeletesOrdinaryMatchingFilesOnly) {
    klango::test::TempHome home;
    const fs::path data = home.data();
    for (const char* name : {"ROCK1.NTX", "rock2.ntx", "MP3TEMP.NT1", ".hidden.ntx", "ROCK.DBF", "x.ntxx"})
        klango::test::writeFileBytes(data / name, "x");
    fs::create_directory(data / "folder.ntx");

    EXPECT_TRUE(RXDELALL(data, "*.NT?", false));
    EXPECT_FALSE(fs::exists(data / "ROCK1.NTX"));
    EXPECT_FALSE(fs::exists(data / "rock2.ntx"));
    EXPECT_FALSE(fs::exists(data / "MP3TEMP.NT1"));
    EXPECT_TRUE(fs::exists(data / ".hidden.ntx"));
    EXPECT_TRUE(fs::exists(data / "ROCK.DBF"));
    EXPECT_TRUE(fs::exists(data / "x.ntxx"));
    EXPECT_TRUE(fs::is_directory(data / "folder.ntx"));
    // A folder that is gone is no failure.
    EXPECT_TRUE(RXDELALL(home.root() / "nowhere", "*.*", false));
}

klango::dbf::Structure markStructure() {
    klango::dbf::Structure fields{{"NAME", klango::dbf::FieldType::kCharacter, 10},
                                      {"TAGGED", klango::dbf::FieldType::kLogical, 1}};
    klango::dbf::layoutFields(fields);
    return fields;
}

TEST(RxHelpersTest, DeleteWithCloseClosesTablesFirstSoTheirFilesGo) {
    klango::test::TempHome home;
    klango::dbf::WorkAreas areas(home.data());
    ASSERT_TRUE(areas.create("STATIST", markStructure()));
    ASSERT_TRUE(areas.use("STATIST", "DSTAT"));

    EXPECT_TRUE(RXDELALL(home.data(), "Statist.*", false, &areas));
    EXPECT_EQ(areas.aliases().size(), 1u);  // left open without lClose

    EXPECT_TRUE(RXDELALL(home.data(), "Statist.*", true, &areas));
    EXPECT_TRUE(areas.aliases().empty());
    EXPECT_TRUE(klango::platform::listMatching(home.data(), "statist.*").empty());
}

TEST(RxHelpersTest, CountsMarksOverTheShownRecordsAndRestoresPosition) {
    klango::test::TempHome home;
    klango::dbf::WorkAreas areas(home.data());
    ASSERT_TRUE(areas.create("MARKS", markStructure()));
    klango::dbf::DbfTable* t = areas.use("MARKS", "DMP3");
    ASSERT_TRUE(t);
    const std::vector<std::pair<const char*, bool>> rows = {
        {"e", true}, {"d", false}, {"c", true}, {"b", false}, {"a", true}};
    for (auto [name, tagged] : rows) {
        t->appendBlank();
        t->putC(0, name);
        t->putL(1, tagged);
    }
    t->goTo(5);
    t->deleteRecord();  // "a": marked but deleted

    AppState state;
    klango::ui::ScriptedUi ui;
    t->goTo(2);
    EXPECT_EQ(NUMTAGGED(*t, false, state, &ui), 2);
    EXPECT_TRUE(state.LTAB_TAGG);
    EXPECT_EQ(t->recNo(), 2u);
    EXPECT_FALSE(ui.waitCursor());

    // A filtered view: the order's condition hides "c", and the first shown record is "b".
    klango::dbf::OrderOptions filter;
    filter.condition = klango::dbf::ConditionSpec{
        "NAME <> 'c'", [](const klango::dbf::RecordView& r) { return r.raw(0)[0] != 'c'; }};
    ASSERT_TRUE(t->createOrder(home.data() / "MP3FILT.NTX",
                               klango::dbf::compileKey(t->structure(), "NAME"), filter));
    t->goTo(1);
    EXPECT_EQ(NUMTAGGED(*t, true, state, &ui), 1);
    EXPECT_EQ(t->recNo(), 4u);  // first in the order

    // At the end of the table it stays there.
    t->goBottom();
    t->skip(1);
    ASSERT_TRUE(t->eof());
    EXPECT_EQ(NUMTAGGED(*t, false, state), 1);
    EXPECT_TRUE(t->eof());

    t->goTo(1);
    t->putL(1, false);
    EXPECT_EQ(NUMTAGGED(*t, false, state), 0);
    EXPECT_FALSE(state.LTAB_TAGG);
    EXPECT_EQ(t->recNo(), 1u);
}

TEST(RxHelpersTest, ProposesDatabaseNameFromLabelOfDriveRoot) {
    FakeDrives drives;
    drives.mount("rock", "iso9660", "MY.ROCK");
    drives.mount("spaced", "vfat", "\\x20\\x20Party\\x202003\\x20");
    drives.mount("acdc", "ext4", "AC\\x2fDC");
    drives.mount("umlaut", "ext4", "M\\xc3\\xbcller");
    drives.mount("plain", "ext4");
    drives.mount("ram", "tmpfs", "IGNORED");
    drives.mount("gone", "udf", "GONE");
    Volumes v = drives.volumes();

    EXPECT_EQ(RXMAKEFILE(drives.source("rock"), v), "MYROCK.dbf");
    EXPECT_EQ(RXMAKEFILE(drives.source("spaced"), v), "Party 2003.dbf");
    EXPECT_EQ(RXMAKEFILE(drives.source("acdc"), v), "AC_DC.dbf");        // no sub-folder in the name
    EXPECT_EQ(RXMAKEFILE(drives.source("umlaut"), v), "M\xfcller.dbf");  // CP1252 like every text
    EXPECT_EQ(RXMAKEFILE(drives.source("plain"), v), ".dbf");
    // Not a drive: a pseudo file system counts as an ordinary folder.
    EXPECT_EQ(RXMAKEFILE(drives.source("ram"), v), "RAM.DBF");
    // A drive that is not ready cannot be asked for its label: no proposal.
    fs::remove_all(drives.mnt("gone"));
    EXPECT_EQ(RXMAKEFILE(drives.source("gone"), v), "");
}

TEST(RxHelpersTest, ProposesDatabaseNameFromLastFolder) {
    FakeDrives drives;
    drives.mount("usb", "vfat", "STICK");
    Volumes v = drives.volumes();
    fs::create_directories(drives.mnt("usb") / "Musik" / "rock-n-roll");

    EXPECT_EQ(RXMAKEFILE(drives.source("usb") + "Musik/rock-n-roll/", v), "ROCK-N-ROLL.DBF");
    EXPECT_EQ(RXMAKEFILE(drives.source("usb") + "Musik", v), "MUSIK.DBF");
    EXPECT_EQ(RXMAKEFILE("/srv/Gr\xfcn Zeug/", v), "GR\xfcN ZEUG.DBF");  // only a to z are raised
    EXPECT_EQ(RXMAKEFILE("Rock/", v), "ROCK.DBF");
}

TEST(RxHelpersTest, DriveReadinessAndFreeSpace) {
    FakeDrives drives;
    drives.mount("cd", "iso9660", "DISC");
    Volumes v = drives.volumes();
    EXPECT_EQ(ISDRIVEREADY(drives.mnt("cd"), v), 0);
    EXPECT_EQ(ISDRIVEREADY(drives.source("cd"), v), 0);
    fs::create_directories(drives.mnt("empty"));
    EXPECT_EQ(ISDRIVEREADY(drives.mnt("empty"), v), -1);
    EXPECT_EQ(ISDRIVEREADY(drives.mnt("missing"), v), -1);
    klango::test::writeFileBytes(drives.mnt("cd") / "track.mp3", "x");
    EXPECT_EQ(ISDRIVEREADY(drives.mnt("cd") / "track.mp3", v), -2);

    // Free space is asked of the real file system holding the folder, even before it exists.
    EXPECT_GT(RXDISKSPACE(drives.home().root()), 0u);
    EXPECT_GT(RXDISKSPACE(drives.home().root() / "Kopie" / "noch nicht da"), 0u);
    EXPECT_EQ(RXDISKSPACE(""), 0u);
}

TEST(RxHelpersTest, DriveListHasEveryDriveWhateverTheirNumber) {
    FakeDrives drives;
    for (int i = 0; i < 30; ++i) drives.mount("drive" + std::to_string(i), i % 2 ? "vfat" : "ext4");
    drives.mount("proc", "proc");
    drives.mount("cd", "udf");
    Volumes v = drives.volumes();

    std::string buffer;
    size_t length = ACPGETDRIVES(buffer, v);
    EXPECT_GT(length, 78u);
    ASSERT_EQ(buffer.size(), length + 1);
    EXPECT_EQ(buffer.substr(length - 1), std::string("\0\0", 2));

    std::vector<fs::path> list = GETLOCALDRIVES(v);
    ASSERT_EQ(list.size(), 31u);
    EXPECT_EQ(list.front(), fs::path(drives.source("drive0")));
    EXPECT_EQ(list.back(), fs::path(drives.source("cd")));
}

TEST(RxHelpersTest, UnreadableMountTableAlertsAndGivesNoDrives) {
    klango::test::TempHome home;
    Volumes v(home.root() / "proc", home.root() / "dev");
    klango::ui::ScriptedUi ui;
    EXPECT_TRUE(GETLOCALDRIVES(v, &ui).empty());
    ASSERT_EQ(ui.calls().size(), 1u);
    EXPECT_EQ(ui.calls()[0],
              "alert: | Error code: 2 loading " + (home.root() / "proc/self/mountinfo").string());
    std::string buffer = "old";
    EXPECT_EQ(ACPGETDRIVES(buffer, v), 0u);
    EXPECT_TRUE(buffer.empty());
}

TEST(RxHelpersTest, RealDriveListHoldsTheRoot) {
    std::vector<fs::path> list = GETLOCALDRIVES();
    EXPECT_NE(std::find(list.begin(), list.end(), fs::path("/")), list.end());
    EXPECT_EQ(ISDRIVEREADY("/"), 0);
}

}  // namespace

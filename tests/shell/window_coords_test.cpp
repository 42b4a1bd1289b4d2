#include "shell/window_coords.h"

#include <gtest/gtest.h>

#include "base/profile_file.h"
#include "test_helpers/test_helpers.h"

namespace klango::shell {
namespace {

class WindowCoordsTest : public ::testing::Test {
protected:
    std::string stored(const char* key) {
        base::clearProfileCache();
        return base::readProfileString(settings.file(), "System", key, "?");
    }
    test::TempHome home;
    Settings settings{home.root() / "KLANGO.INI"};
};

TEST_F(WindowCoordsTest, DefaultsAndStoredValues) {
    EXPECT_EQ(GETCOORDS(settings), (WindowRect{0, 0, 480, 640, 633, 454}));
    test::writeFileBytes(settings.file(),
                         "[System]\r\n0_Top=12\r\n0_Left= 30\r\n0_Bottom=700\r\n0_Right=1000x\r\n0_Width=abc\r\n");
    base::clearProfileCache();
    int t = -1, l = -1, b = -1, r = -1, w = -1, h = -1;
    EXPECT_TRUE(GETCOORDS(settings, t, l, b, r, w, h));
    EXPECT_EQ((WindowRect{t, l, b, r, w, h}), (WindowRect{12, 30, 700, 1000, 0, 454}));
}

TEST_F(WindowCoordsTest, SmallDesktopRule) {
    test::writeFileBytes(settings.file(), "[System]\r\n0_Top=50\r\n0_Left=60\r\n0_Bottom=650\r\n0_Right=860\r\n");
    base::clearProfileCache();
    const WindowRect stored{50, 60, 650, 860, 633, 454};
    EXPECT_EQ(startRectangle({0, 0, 480, 640}, settings), kSmallDesktopRect);
    EXPECT_EQ(startRectangle({0, 0, 400, 600}, settings), kSmallDesktopRect);
    // 480 high but 800 wide is no small desktop; neither is 640 wide and 600 high.
    EXPECT_EQ(startRectangle({0, 0, 480, 800}, settings), stored);
    EXPECT_EQ(startRectangle({0, 0, 600, 640}, settings), stored);
    EXPECT_EQ(startRectangle({0, 0, 481, 641}, settings), stored);
}

TEST_F(WindowCoordsTest, SnappingBoundaries) {
    struct Case {
        int in, height, width;
    };
    for (const Case c : {Case{479, 479, 479}, {480, 480, 480}, {485, 480, 485}, {489, 480, 489},
                         {490, 490, 490}, {600, 600, 600}, {601, 600, 601}, {609, 600, 609},
                         {610, 610, 610}, {768, 768, 768}, {769, 768, 769}, {774, 768, 774},
                         {775, 775, 775}, {801, 801, 800}, {809, 809, 800}, {1024, 1024, 1024},
                         {1027, 1024, 1024}, {1029, 1024, 1024}, {1030, 1030, 1030}, {1285, 1285, 1280}}) {
        EXPECT_EQ(snapHeight(c.in), c.height) << c.in;
        if (c.in != 480) {
            EXPECT_EQ(snapWidth(c.in), c.width) << c.in;
        }
    }
    EXPECT_EQ(snapWidth(640), 640);
    EXPECT_EQ(snapWidth(649), 640);
    EXPECT_EQ(snapWidth(650), 650);
}

TEST_F(WindowCoordsTest, PutcoordsWritesTheSnappedRectangle) {
    // Dragged above the screen: top -8 is stored as 0; 485 high is stored 480 high, 1027 wide 1024.
    PUTCOORDS(settings, {.top = -8, .left = 20, .outerHeight = 493, .outerWidth = 1027,
                         .clientWidth = 1019, .clientHeight = 440});
    EXPECT_EQ(stored("0_Top"), "0");
    EXPECT_EQ(stored("0_Left"), "20");
    EXPECT_EQ(stored("0_Bottom"), "480");  // the bottom edge stayed at 485, so 485 high -> 480
    EXPECT_EQ(stored("0_Right"), "1044");
    EXPECT_EQ(stored("0_Width"), "1019");
    EXPECT_EQ(stored("0_Height"), "440");

    PUTCOORDS(settings, {.top = 10, .left = -3, .outerHeight = 600, .outerWidth = 805,
                         .clientWidth = 798, .clientHeight = 574});
    EXPECT_EQ(GETCOORDS(settings), (WindowRect{10, 0, 610, 800, 798, 574}));

    // What was stored opens the window at the same size again.
    const WindowRect r = GETCOORDS(settings);
    EXPECT_EQ(storedRectangle({r.top, r.left, r.bottom - r.top, r.right - r.left, r.width, r.height}), r);
}

TEST_F(WindowCoordsTest, UnwritableSettingsKeepTheOldRectangle) {
    Settings inMissingFolder(home.root() / "fehlt" / "KLANGO.INI");
    PUTCOORDS(inMissingFolder, {.top = 5, .left = 5, .outerHeight = 500, .outerWidth = 700});
    EXPECT_FALSE(inMissingFolder.exists());
    EXPECT_EQ(GETCOORDS(inMissingFolder), (WindowRect{0, 0, 480, 640, 633, 454}));
}

}  // namespace
}  // namespace klango::shell

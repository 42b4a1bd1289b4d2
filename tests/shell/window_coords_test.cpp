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

TEST_F(WindowCoordsTest, StartRectangleSmallDesktopStoredFittedOrFirstCentred) {
    const FirstSize first{.width = 900, .height = 600, .frameWidth = 10, .frameHeight = 30};
    // Nothing stored: the wanted size centred with its frame, smaller where it would not fit.
    EXPECT_EQ(startRectangle({0, 0, 800, 1280}, settings, first), (WindowRect{85, 185, 685, 1085, 900, 600}));
    EXPECT_EQ(startRectangle({0, 0, 600, 800}, settings, first), (WindowRect{0, 0, 570, 790, 790, 570}));
    EXPECT_EQ(startRectangle({0, 0, 480, 640}, settings, first), kSmallDesktopRect);

    test::writeFileBytes(settings.file(), "[System]\r\n0_Top=50\r\n0_Left=60\r\n0_Bottom=650\r\n0_Right=860\r\n");
    base::clearProfileCache();
    struct Case {
        DesktopRect desktop;
        WindowRect expected;
    };
    for (const Case& c : {
             Case{{0, 0, 480, 640}, kSmallDesktopRect},
             Case{{0, 0, 400, 600}, kSmallDesktopRect},
             // 480 high but 800 wide is no small desktop; the stored rectangle is fitted on it.
             Case{{0, 0, 480, 800}, {0, 0, 480, 800, 633, 454}},
             Case{{0, 0, 600, 640}, {0, 0, 600, 640, 633, 454}},
             Case{{0, 0, 768, 1024}, {50, 60, 650, 860, 633, 454}},
             // A desktop that no longer reaches where the window was brings it back on screen.
             Case{{0, 0, 600, 700}, {0, 0, 600, 700, 633, 454}},
             Case{{100, 1280, 900, 2560}, {100, 1280, 700, 2080, 633, 454}},
         }) {
        EXPECT_EQ(startRectangle(c.desktop, settings, first), c.expected) << c.desktop.bottom << "x" << c.desktop.right;
    }
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
    PUTCOORDS(settings, {.top = -8, .left = 20, .windowHeight = 493, .windowWidth = 1027,
                         .clientWidth = 1019, .clientHeight = 440});
    EXPECT_EQ(stored("0_Top"), "0");
    EXPECT_EQ(stored("0_Left"), "20");
    EXPECT_EQ(stored("0_Bottom"), "480");  // the bottom edge stayed at 485, so 485 high -> 480
    EXPECT_EQ(stored("0_Right"), "1044");
    EXPECT_EQ(stored("0_Width"), "1019");
    EXPECT_EQ(stored("0_Height"), "440");

    PUTCOORDS(settings, {.top = 10, .left = -3, .windowHeight = 600, .windowWidth = 805,
                         .clientWidth = 798, .clientHeight = 574});
    EXPECT_EQ(GETCOORDS(settings), (WindowRect{10, 0, 610, 800, 798, 574}));

    // What was stored opens the window at the same size again.
    const WindowRect r = GETCOORDS(settings);
    EXPECT_EQ(storedRectangle({r.top, r.left, r.bottom - r.top, r.right - r.left, r.width, r.height}), r);
}

TEST_F(WindowCoordsTest, UnwritableSettingsKeepTheOldRectangle) {
    Settings inMissingFolder(home.root() / "fehlt" / "KLANGO.INI");
    PUTCOORDS(inMissingFolder, {.top = 5, .left = 5, .windowHeight = 500, .windowWidth = 700});
    EXPECT_FALSE(inMissingFolder.exists());
    EXPECT_EQ(GETCOORDS(inMissingFolder), (WindowRect{0, 0, 480, 640, 633, 454}));
}

}  // namespace
}  // namespace klango::shell

#include "shell/settings.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "base/profile_file.h"
#include "test_helpers/test_helpers.h"

using namespace klango::shell;
using klango::test::readFileBytes;
using klango::test::TempHome;
using klango::test::writeFileBytes;

namespace {

Settings settingsWith(const TempHome& home, const std::string& bytes) {
    writeFileBytes(home.root() / "KLANGO.INI", bytes);
    klango::base::clearProfileCache();
    return Settings(Settings::fileIn(home.root()));
}

}  // namespace

TEST(SettingKeys, EveryRowIsUniqueAndReachableThroughTheList) {
    std::set<std::string> seen;
    for (const SettingKey* k : allSettingKeys()) {
        ASSERT_NE(k->section, nullptr);
        ASSERT_NE(k->key, nullptr);
        ASSERT_NE(k->defaultValue, nullptr);
        EXPECT_TRUE(seen.insert(std::string(k->section) + "/" + k->key).second)
            << k->section << "/" << k->key;
    }
    EXPECT_EQ(seen.size(), 84u);
    EXPECT_TRUE(seen.count("Browse/0") && seen.count("Browse/1") && seen.count("Browse/20"));
    EXPECT_TRUE(seen.count("Export/Tagged") && seen.count("Transfer/Tagged"));
    EXPECT_EQ(&keys::browseWidth(7), allSettingKeys()[36 + 6]);
    EXPECT_STREQ(keys::browseWidth(20).key, "20");
    EXPECT_THROW(keys::browseWidth(0), std::out_of_range);
    EXPECT_THROW(keys::browseWidth(21), std::out_of_range);
}

TEST(Settings, MissingFileReadsEveryDefault) {
    TempHome home;
    Settings s(Settings::fileIn(home.root()));
    EXPECT_FALSE(s.exists());
    for (const SettingKey* k : allSettingKeys()) EXPECT_EQ(s.text(*k), k->defaultValue) << k->key;
    EXPECT_EQ(s.text(keys::kAndOr1), " und ");  // a default keeps its blanks
    EXPECT_EQ(s.number(keys::kBottom), 480);
    EXPECT_EQ(s.number(keys::kBrowseCount), 0);
    EXPECT_EQ(s.number(keys::browseWidth(3)), 1);
    EXPECT_TRUE(s.on(keys::kMarkDate));
    EXPECT_FALSE(s.on(keys::kAutoOpen));
    // The copy naming switches have no default: a missing key is off.
    EXPECT_FALSE(s.on(keys::kInterpret));
    EXPECT_FALSE(s.on(keys::kTitel));
    EXPECT_TRUE(s.on(keys::kOrdner));
    EXPECT_EQ(s.text(keys::kMailSendTo), "support@klango.de");
}

TEST(Settings, SwitchesCountAsOnWhenTheValueBeginsWithOne) {
    TempHome home;
    Settings s = settingsWith(home,
                              "[System]\nAutoOpen=1abc\nAutoStart= 1\nMarkDate=0\nMarkHour=\nMarkSort=yes\n"
                              "ShowTrak=01\n[Transfer]\nInterpret=10\n");
    EXPECT_TRUE(s.on(keys::kAutoOpen));
    EXPECT_TRUE(s.on(keys::kAutoStart));  // trimmed on read
    EXPECT_FALSE(s.on(keys::kMarkDate));
    EXPECT_FALSE(s.on(keys::kMarkHour));  // present but empty: off, not the default "1"
    EXPECT_FALSE(s.on(keys::kMarkSort));
    EXPECT_FALSE(s.on(keys::kShowTrak));
    EXPECT_TRUE(s.on(keys::kInterpret));
}

TEST(Settings, NumbersAreTheLeadingDigits) {
    TempHome home;
    Settings s = settingsWith(home, "[System]\nDblClick=         2\nFontSize=3px\n0_Top=-5\nDimension=abc\n");
    EXPECT_EQ(s.number(keys::kDblClick), 2);
    EXPECT_EQ(s.number(keys::kFontSize), 3);
    EXPECT_EQ(s.number(keys::kTop), -5);
    EXPECT_EQ(s.number(keys::kDimension), 0);
    EXPECT_EQ(s.number(keys::kHeight), 454);
}

TEST(Settings, WritersStoreTheAgreedForms) {
    TempHome home;
    Settings s(Settings::fileIn(home.root()));
    ASSERT_TRUE(s.writeNumberRight10(keys::kDblClick, 2));
    ASSERT_TRUE(s.writeNumberRight10(keys::kFontSize, 12345678901LL));
    ASSERT_TRUE(s.writeNumber(keys::kWidth, 800));
    ASSERT_TRUE(s.writeSwitch(keys::kAutoOpen, true));
    ASSERT_TRUE(s.writeSwitch(keys::kAutoStart, false));
    ASSERT_TRUE(s.write(keys::kPlayPath, "/usr/bin/mpg123 -q"));
    EXPECT_TRUE(s.exists());
    EXPECT_EQ(readFileBytes(s.file()),
              "[System]\r\nDblClick=         2\r\nFontSize=12345678901\r\n0_Width=800\r\nAutoOpen=1\r\n"
              "AutoStart=0\r\n\r\n[Player]\r\nPlayPath=/usr/bin/mpg123 -q\r\n");
    EXPECT_EQ(s.number(keys::kDblClick), 2);
    EXPECT_EQ(s.number(keys::kFontSize), 12345678901LL);
    EXPECT_TRUE(s.on(keys::kAutoOpen));
    EXPECT_FALSE(s.on(keys::kAutoStart));
    EXPECT_EQ(s.text(keys::kPlayPath), "/usr/bin/mpg123 -q");
}

TEST(Settings, FindsTheFileWhateverItsCase) {
    TempHome home;
    writeFileBytes(home.root() / "klango.ini", "[Player]\nPlayPath=amp\n");
    klango::base::clearProfileCache();
    Settings s(Settings::fileIn(home.root()));
    EXPECT_EQ(s.file().filename(), "klango.ini");
    EXPECT_TRUE(s.exists());
    EXPECT_EQ(s.text(keys::kPlayPath), "amp");
    ASSERT_TRUE(s.write(keys::kPlayList, "/tmp/"));
    EXPECT_FALSE(std::filesystem::exists(home.root() / "KLANGO.INI"));
}

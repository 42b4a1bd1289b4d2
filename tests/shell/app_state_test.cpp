#include "shell/app_state.h"

#include <gtest/gtest.h>

#include "base/profile_file.h"
#include "test_helpers/test_helpers.h"

using namespace klango::shell;
using klango::test::readFileBytes;
using klango::test::TempHome;
using klango::test::writeFileBytes;

TEST(LoadPublics, WithoutSettingsFileUsesTheDefaultsAndWritesMyPath) {
    TempHome home;
    AppState state;
    state.LTAB_OPEN = true;  // leftovers from before must not survive
    state.CSU_GROUP = "x";
    state.AFILT3 = {"a"};
    ASSERT_TRUE(LOADPUBLICS(state, home.root()));

    const std::string folder = home.root().lexically_normal().string();
    EXPECT_EQ(state.CRUNIN.string(), folder + "/");
    EXPECT_EQ(state.CINIFILE, home.root() / "KLANGO.INI");
    EXPECT_EQ(state.CPRGPATH, folder);
    EXPECT_EQ(state.CMYPATH, folder);
    EXPECT_EQ(state.CRELEASE, "Klango v1.50.17");
    EXPECT_EQ(state.CFILE, "MP3BASE.DBF");
    EXPECT_TRUE(state.LS_MARKDATE && state.LS_MARKHOUR && state.LS_MARKSORT && state.LS_SHOWTRAK);
    EXPECT_EQ(state.NS_DBLCLICK, 1);
    EXPECT_EQ(state.NS_FONTSIZE, 1);
    EXPECT_EQ(state.CS_AMPPATH, "");
    EXPECT_EQ(state.CS_EMAIL_M, "");
    EXPECT_FALSE(state.LTAB_OPEN);
    EXPECT_FALSE(state.CSU_GROUP.has_value());
    EXPECT_TRUE(state.AFILT3.empty());
    EXPECT_EQ(state.NTAB_SORT, 1);
    EXPECT_EQ(state.NCOLB, 0xD0FFFF);  // blue 208, green 255, red 255
    EXPECT_EQ(state.NCOLBH, 0x8CFFFF);
    EXPECT_EQ(state.OFONT.family, "Ms Sans Serif");
    EXPECT_EQ(state.OFONT.height, 8);
    EXPECT_FALSE(state.OFONT.bold);
    EXPECT_TRUE(state.OFONTB.bold);

    EXPECT_TRUE(state.settingsFileWasMissing);
    EXPECT_EQ(readFileBytes(state.CINIFILE), "[Project]\r\nMyPath=" + folder + "\r\n");
}

TEST(LoadPublics, ReadsTheKeysHeldInMemoryAndKeepsTheRestOfTheFile) {
    TempHome home;
    const std::string before =
        "[Project]\r\nProgram=MeinKlango\r\nVersion=  v2.0  \r\nMyPath=C:\\KLANGO\r\n"
        "Email_Menue=&Support\r\nEmail_URL=help@example.org\r\nInternet_Menue=&Web\r\n"
        "Internet_URL=http://example.org\r\n\r\n"
        "[System]\r\nMarkDate=0\r\nMarkHour=0\r\nMarkSort=0\r\nShowTrak=0\r\nDblClick=         2\r\n"
        "FontSize=3\r\nAutoOpen=1\r\n\r\n[Player]\r\nPlayPath=/usr/bin/mpg123\r\n";
    writeFileBytes(home.root() / "klango.ini", before);
    klango::base::clearProfileCache();
    AppState state;
    ASSERT_TRUE(LOADPUBLICS(state, home.root() / "." / "Daten" / ".."));

    const std::string folder = home.root().lexically_normal().string();
    EXPECT_EQ(state.CRUNIN.string(), folder + "/");
    EXPECT_EQ(state.CINIFILE, home.root() / "klango.ini");
    EXPECT_FALSE(state.settingsFileWasMissing);
    EXPECT_EQ(state.CRELEASE, "MeinKlango v2.0");
    EXPECT_FALSE(state.LS_MARKDATE || state.LS_MARKHOUR || state.LS_MARKSORT || state.LS_SHOWTRAK);
    EXPECT_EQ(state.NS_DBLCLICK, 2);
    EXPECT_EQ(state.NS_FONTSIZE, 3);
    EXPECT_EQ(state.CS_AMPPATH, "/usr/bin/mpg123");
    EXPECT_EQ(state.CS_EMAIL_M, "&Support");
    EXPECT_EQ(state.CS_EMAIL, "help@example.org");
    EXPECT_EQ(state.CS_WWW_M, "&Web");
    EXPECT_EQ(state.CS_WWW, "http://example.org");

    std::string after = before;
    after.replace(after.find("C:\\KLANGO"), 9, folder);
    EXPECT_EQ(readFileBytes(state.CINIFILE), after);
}

TEST(AppState, FilesOfTheProgramAndDataFolderAreFoundWhateverTheirCase) {
    TempHome home;
    AppState state;
    ASSERT_TRUE(LOADPUBLICS(state, home.root()));
    writeFileBytes(home.data() / "Mp3base.dbf", "");
    writeFileBytes(home.root() / "error.LOG", "");
    EXPECT_EQ(state.dataFolder(), home.root() / "Daten");
    EXPECT_EQ(state.dataFile("MP3BASE.DBF"), home.data() / "Mp3base.dbf");
    EXPECT_EQ(state.dataFile("Neu.dbf"), home.data() / "Neu.dbf");
    EXPECT_EQ(state.programFile("Error.log"), home.root() / "error.LOG");
    EXPECT_EQ(state.programFile("Daten/mp3BASE.dbf"), home.data() / "Mp3base.dbf");
    EXPECT_EQ(state.settings().file(), state.CINIFILE);
}

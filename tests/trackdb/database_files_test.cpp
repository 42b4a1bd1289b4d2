// Saving the open database under a new name, deleting a database and appending one database to
// another, driven through a scripted Ui on real tables: the refusals, the questions, the files
// left behind and the records that arrive.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "platform/file_removal.h"
#include "shell/settings_keys.h"
#include "shell/startup.h"
#include "test_helpers/test_helpers.h"
#include "trackdb/check_data.h"
#include "trackdb/database_files.h"
#include "trackdb/track_record.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using trackdb::track::Field;

namespace {

constexpr base::Date kDay{2026, 12, 9};

class DatabaseFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::LOADPUBLICS(sh.state, home.root());
        sh.areas = std::make_unique<dbf::WorkAreas>(home.data());
        // The table window's part: open CFILE as DMP3 with its orders, the panel "shown".
        sh.hooks.MP3TABLE = [this](bool) {
            opened.push_back(sh.state.CFILE);
            const bool ok = trackdb::CHECKDATA(*sh.areas, ui, sh.state.CFILE, trackdb::CheckDataEnd::KeepOpen);
            sh.state.LTAB_OPEN = ok;
            return ok;
        };
        sh.hooks.MP3DLGCLOSE = [this] { sh.state.LTAB_OPEN = false; };
        makeTable("MUSIK", {{"B", "Two"}, {"A", "One"}, {"C", "Three"}});
        open("MUSIK");
    }

    void makeTable(const std::string& name, const std::vector<std::pair<std::string, std::string>>& songs,
                   const dbf::Structure& fields = trackdb::trackStructure()) {
        const fs::path file = home.data() / (name + ".dbf");
        ASSERT_TRUE(dbf::DbfTable::create(file, fields, kDay));
        auto t = dbf::DbfTable::open(file);
        for (const auto& [group, title] : songs) {
            t->appendBlank();
            t->putC(t->fieldPos("GROUP"), group);
            t->putC(t->fieldPos("TITLE"), title);
            t->putC(t->fieldPos("PATH"), "/m/" + title + ".mp3");
            if (t->fieldPos("PLAYED") >= 0) t->putN(t->fieldPos("PLAYED"), 2);
        }
        t->close();
    }

    void open(const std::string& name) {
        sh.state.CFILE = name;
        ASSERT_TRUE(sh.hooks.MP3TABLE(false));
        opened.clear();
    }

    // "GROUP/TITLE" of every record of a table file, in record order.
    std::vector<std::string> records(const std::string& name) {
        sh.areas->closeAll();
        auto t = dbf::DbfTable::open(platform_file(name));
        std::vector<std::string> out;
        if (!t) return {"(cannot open)"};
        for (uint32_t r = 1; r <= t->lastRec(); ++r) {
            t->goTo(r);
            out.push_back(std::string(base::trimRight(t->getC(Field::GROUP))) + "/" +
                          std::string(base::trimRight(t->getC(Field::TITLE))) + "/" +
                          std::to_string(int(t->getN(Field::PLAYED))));
        }
        return out;
    }
    fs::path platform_file(const std::string& name) { return sh.areas->resolve(name, ".dbf"); }
    std::string picked(const std::string& name) { return base::utf8ToCp1252((home.data() / name).string()); }
    bool warned(const std::string& text) const {
        for (const std::string& c : ui.calls())
            if (c.rfind("warning:", 0) == 0 && c.find(text) != std::string::npos) return true;
        return false;
    }

    test::TempHome home;
    ui::ScriptedUi ui;
    shell::Shell sh{ui};
    std::vector<std::string> opened;
};

// The visible records of the filtered view in its order go to the new database, which opens.
TEST_F(DatabaseFilesTest, SaveAsCopiesTheFilteredViewAndOpensTheCopy) {
    dbf::DbfTable* t = sh.areas->get("DMP3");
    dbf::OrderOptions filter;
    filter.condition = dbf::ConditionSpec{"GROUP<>'B'", [](const dbf::RecordView& r) { return r.raw(Field::GROUP)[0] != 'B'; }};
    filter.descending = true;
    t->createOrder(home.root() / "MP3FILT.NTX", dbf::compileKey(t->structure(), "upper(GROUP)"), filter);
    sh.state.LTAB_FILT = true;
    ui.expectSaveFile(picked("neu.dbf"));
    EXPECT_EQ(trackdb::MP3SAVEAS(sh), std::optional<bool>(true));
    EXPECT_EQ(opened, std::vector<std::string>{"NEU"});
    EXPECT_FALSE(sh.state.LTAB_FILT);
    EXPECT_EQ(records("NEU"), (std::vector<std::string>{"C/Three/2", "A/One/2"}));
    EXPECT_EQ(records("MUSIK").size(), 3u);
    EXPECT_TRUE(ui.unexpected().empty());
}

// Names the copy may not take, the overwrite question and cancelling: the open table is shown
// again and every file stays as it was.
TEST_F(DatabaseFilesTest, SaveAsRefusalsAndQuestions) {
    makeTable("ALT", {{"X", "Old"}});
    const std::string before = test::readFileBytes(home.data() / "ALT.dbf");
    struct Case {
        std::string file;
        int answer;  // -1 no question, 0 no, 1 yes
        const char* warning;
        std::optional<bool> result;
    } cases[] = {
        {"", -1, nullptr, true},
        {"musik.dbf", -1, "unter ihrem eigenen Namen", std::nullopt},
        {"Mp3Such.dbf", -1, "geh\xF6rt dem Programm", std::nullopt},
        {"statist.dbf", -1, "geh\xF6rt dem Programm", std::nullopt},
        {"alt.dbf", 0, nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        sh.state.LTAB_OPEN = false;  // the main menu closed the panel first
        ui.expectSaveFile(c.file.empty() ? "" : picked(c.file));
        if (c.answer >= 0) ui.expectYesNo(c.answer == 1, "MP3-Datenbank 'ALT' \xDC" "berschreiben ?");
        EXPECT_EQ(trackdb::MP3SAVEAS(sh), c.result);
        if (c.warning) EXPECT_TRUE(warned(c.warning));
        EXPECT_EQ(opened, std::vector<std::string>{"MUSIK"});  // shown again, as it was
        opened.clear();
        EXPECT_FALSE(fs::exists(home.data() / "MP3SUCH.dbf"));
        EXPECT_EQ(test::readFileBytes(home.data() / "ALT.dbf"), before);
    }
    ui.expectSaveFile(picked("alt.dbf"));
    ui.expectYesNo(true);
    EXPECT_EQ(trackdb::MP3SAVEAS(sh), std::optional<bool>(true));
    EXPECT_EQ(records("ALT").size(), 3u);
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
}

// The file the user picked goes, in the folder picked, whatever dots its name holds, with its
// six index files; the setting that would reopen it at start is cleared.
TEST_F(DatabaseFilesTest, DeleteThePickedDatabase) {
    makeTable("my.old.rock", {{"X", "Old"}});
    makeTable("my", {{"Y", "Keep"}});
    for (int n = 1; n <= 6; ++n) test::writeFileBytes(home.data() / ("my.old.rock" + std::to_string(n) + ".NTX"), "i");
    const shell::Settings settings = sh.state.settings();
    settings.write(shell::keys::kDatabaseFile, "my.old.rock");

    ui.expectSaveFile(picked("my.old.rock.dbf"));
    ui.expectYesNo(false, "Wollen Sie die Datenbank 'MY.OLD.ROCK' l\xF6schen ?");
    EXPECT_TRUE(trackdb::MP3FDELETE(sh));
    EXPECT_TRUE(fs::exists(home.data() / "my.old.rock.dbf"));

    ui.expectSaveFile(picked("MY.OLD.ROCK"));  // typed without extension, in capitals
    ui.expectYesNo(true);
    EXPECT_TRUE(trackdb::MP3FDELETE(sh));
    EXPECT_FALSE(fs::exists(home.data() / "my.old.rock.dbf"));
    for (int n = 1; n <= 6; ++n) EXPECT_FALSE(fs::exists(home.data() / ("my.old.rock" + std::to_string(n) + ".NTX")));
    EXPECT_TRUE(fs::exists(home.data() / "my.dbf"));
    EXPECT_TRUE(fs::exists(home.data() / "MUSIK.dbf"));
    EXPECT_EQ(settings.text(shell::keys::kDatabaseFile), "");
    EXPECT_FALSE(sh.state.LTAB_OPEN);
    EXPECT_EQ(sh.areas->get("DMP3"), nullptr);
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Records), "Titel: 0");
    EXPECT_EQ(ui.messageItem(ui::MessageItem::Filter), "Kein Filter");

    // Another database leaves the remembered one alone.
    settings.write(shell::keys::kDatabaseFile, "Musik");
    ui.expectSaveFile(picked("my.dbf"));
    ui.expectYesNo(true, "'MY'");
    EXPECT_TRUE(trackdb::MP3FDELETE(sh));
    EXPECT_EQ(settings.text(shell::keys::kDatabaseFile), "Musik");
    EXPECT_TRUE(ui.unexpected().empty());
}

// The backups a structure conversion left go with the database, so that a new database of that
// name starts empty instead of being made again from them; another database's backup stays.
TEST_F(DatabaseFilesTest, DeleteTakesTheConversionBackupsAlong) {
    makeTable("ROCK", {{"X", "Old"}});
    const std::string table = test::readFileBytes(home.data() / "ROCK.dbf");
    for (const char* backup : {"ROCK.bak", "rock.1.bak", "ROCK.2.bak", "ROCKY.bak"})
        test::writeFileBytes(home.data() / backup, table);
    ui.expectSaveFile(picked("Rock.dbf"));
    ui.expectYesNo(true);
    EXPECT_TRUE(trackdb::MP3FDELETE(sh));
    for (const char* gone : {"ROCK.dbf", "ROCK.bak", "rock.1.bak", "ROCK.2.bak"})
        EXPECT_FALSE(fs::exists(home.data() / gone)) << gone;
    EXPECT_TRUE(fs::exists(home.data() / "ROCKY.bak"));
    ASSERT_TRUE(trackdb::CHECKDATA(*sh.areas, ui, "Rock"));
    EXPECT_TRUE(records("ROCK").empty());
    EXPECT_TRUE(ui.unexpected().empty());
}

// A file that cannot be deleted is named in the message. When it is the table, nothing else goes
// and the setting that reopens it at start stays; when it is one of its other files, the table is
// gone, the others go too and the setting is cleared.
TEST_F(DatabaseFilesTest, DeleteFailuresAreTold) {
    struct Case {
        const char* refused;  // the file the remover keeps
        const char* message;
        bool tableGone;
    };
    const Case cases[] = {
        {"ROCK.dbf", "Die Datenbank '", false},
        {"ROCK3.NTX", "ist gel\xF6scht, diese Dateien von ihr aber nicht:", true},
        {"ROCK.bak", "ist gel\xF6scht, diese Dateien von ihr aber nicht:", true},
    };
    struct Restore {
        ~Restore() { platform::setFileRemover({}); }
    } restore;
    const shell::Settings settings = sh.state.settings();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        makeTable("ROCK", {{"X", "Old"}});
        for (int n = 1; n <= 6; ++n) test::writeFileBytes(home.data() / ("ROCK" + std::to_string(n) + ".NTX"), "i");
        test::writeFileBytes(home.data() / "ROCK.bak", "b");
        settings.write(shell::keys::kDatabaseFile, "Rock");
        const fs::path refused = home.data() / c.refused;
        platform::setFileRemover([&](const fs::path& file, std::error_code& ec) {
            if (file == refused) {
                ec = std::make_error_code(std::errc::permission_denied);
                return false;
            }
            fs::remove(file, ec);
            return !ec;
        });
        ui.expectSaveFile(picked("ROCK.DBF"));
        ui.expectYesNo(true);
        EXPECT_TRUE(trackdb::MP3FDELETE(sh));
        platform::setFileRemover({});
        ASSERT_FALSE(ui.calls().empty());
        const std::string& told = ui.calls().back();
        EXPECT_EQ(told.rfind("warning:", 0), 0u) << told;
        EXPECT_NE(told.find(c.message), std::string::npos) << told;
        EXPECT_NE(told.find(base::utf8ToCp1252(refused.string())), std::string::npos) << told;
        EXPECT_NE(told.find(" (keine Berechtigung)"), std::string::npos) << told;
        EXPECT_TRUE(fs::exists(refused));
        EXPECT_EQ(fs::exists(home.data() / "ROCK.dbf"), !c.tableGone);
        for (const char* other : {"ROCK1.NTX", "ROCK3.NTX", "ROCK6.NTX", "ROCK.bak"}) {
            if (home.data() / other != refused) EXPECT_EQ(fs::exists(home.data() / other), !c.tableGone) << other;
        }
        EXPECT_EQ(settings.text(shell::keys::kDatabaseFile), c.tableGone ? "" : "Rock");
        for (const auto& e : fs::directory_iterator(home.data()))
            if (e.path().filename().string().rfind("ROCK", 0) == 0) fs::remove(e.path());
    }
    EXPECT_TRUE(ui.unexpected().empty());
}

// Appending twice doubles the records; an older layout arrives field by field; a table that is
// no track database and the open database itself are refused with a message.
TEST_F(DatabaseFilesTest, AppendFrom) {
    makeTable("GAST", {{"G", "Guest"}});
    dbf::Structure old = {{"GROUP", dbf::FieldType::kCharacter, 20, 0},
                          {"TITLE", dbf::FieldType::kCharacter, 20, 0},
                          {"PATH", dbf::FieldType::kCharacter, 60, 0}};
    makeTable("OLD", {{"O", "Older"}}, old);
    makeTable("FREMD", {}, {{"NAME", dbf::FieldType::kCharacter, 20, 0}, {"PATH", dbf::FieldType::kCharacter, 20, 0}});

    for (int round = 0; round < 2; ++round) {
        ui.expectOpenFile(picked("gast.dbf"));
        ui.expectYesNo(true, "Wollen Sie die Daten aus der MP3-Datenbank 'GAST' anf\xFCgen");
        EXPECT_TRUE(trackdb::APPENDFROM(sh));
        open("MUSIK");
    }
    ui.expectOpenFile(picked("OLD.dbf"));
    ui.expectYesNo(true);
    EXPECT_TRUE(trackdb::APPENDFROM(sh));
    open("MUSIK");

    ui.expectOpenFile(picked("fremd.dbf"));
    ui.expectYesNo(true);
    EXPECT_FALSE(trackdb::APPENDFROM(sh));
    EXPECT_TRUE(warned("FREMD.dbf' ist keine MP3-Datenbank"));
    ui.expectOpenFile(picked("Musik.dbf"));
    ui.expectYesNo(true);
    EXPECT_FALSE(trackdb::APPENDFROM(sh));
    EXPECT_TRUE(warned("an sich selbst"));
    ui.expectOpenFile(picked("gast.dbf"));
    ui.expectYesNo(false);
    EXPECT_FALSE(trackdb::APPENDFROM(sh));

    EXPECT_EQ(records("MUSIK"), (std::vector<std::string>{"B/Two/2", "A/One/2", "C/Three/2", "G/Guest/2", "G/Guest/2",
                                                          "O/Older/0"}));
    EXPECT_TRUE(ui.unexpected().empty());
    EXPECT_TRUE(ui.scriptDone());
}

// A target that cannot grow stops the append: it is reported, and the records written before
// stay, counted in the file's header and found by the rebuilt orders.
TEST_F(DatabaseFilesTest, AppendThatFailsMidway) {
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 20; ++i) many.push_back({"G", "Song " + std::to_string(100 + i)});
    makeTable("GAST", many);
    const auto size = fs::file_size(home.data() / "MUSIK.dbf");
    ui.expectOpenFile(picked("gast.dbf"));
    ui.expectYesNo(true);
    {
        auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lim = saved;
        lim.rlim_cur = size + 5 * trackdb::track::kRecordLength + 100;
        setrlimit(RLIMIT_FSIZE, &lim);
        EXPECT_TRUE(trackdb::APPENDFROM(sh));
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
    }
    EXPECT_TRUE(warned("5 von 20 Titeln wurden angef\xFCgt"));
    open("MUSIK");
    EXPECT_EQ(sh.areas->get("DMP3")->count(), 8u);
    EXPECT_EQ(records("MUSIK").back(), "G/Song 104/2");
}

}  // namespace

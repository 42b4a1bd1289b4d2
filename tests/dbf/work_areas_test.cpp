#include "dbf/work_areas.h"

#include <gtest/gtest.h>

#include "dbf/dbf_test_helpers.h"
#include "test_helpers/test_helpers.h"

namespace klango::dbf {
namespace {

using test::ErrorCatcher;
using test::TempHome;

Structure oneField() { return {{"NAME", FieldType::kCharacter, 8, 0}}; }

int filesIn(const std::filesystem::path& folder) {
    int n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(WorkAreas, NamesResolveInTheDataFolderWhateverTheirCase) {
    TempHome home;
    WorkAreas areas(home.data());
    ASSERT_TRUE(areas.create("Rock Classics", oneField()));
    EXPECT_TRUE(std::filesystem::exists(home.data() / "Rock Classics.dbf"));
    EXPECT_EQ(areas.resolve("ROCK CLASSICS"), home.data() / "Rock Classics.dbf");
    EXPECT_EQ(areas.resolve("rock classics.DBF"), home.data() / "Rock Classics.dbf");
    EXPECT_EQ(areas.resolve("Pop"), home.data() / "Pop.dbf");  // a new name as given
    EXPECT_EQ(areas.resolve("Rock1", ".NTX"), home.data() / "Rock1.NTX");
    EXPECT_EQ(areas.resolve("name.with"), home.data() / "name.with");  // has an extension already
    // A folder in the name: not the data folder; a full path keeps its folders as given.
    EXPECT_EQ(areas.resolve((home.data() / "ROCK CLASSICS").string()), home.data() / "Rock Classics.dbf");

    // Re-creating under another case replaces the file in place.
    DbfTable* t = areas.use("rock classics", "DMP3");
    ASSERT_TRUE(t);
    t->appendBlank();
    areas.closeAll();
    ASSERT_TRUE(areas.create("ROCK CLASSICS", oneField()));
    EXPECT_EQ(filesIn(home.data()), 1);
    t = areas.use("Rock Classics", "DMP3");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->lastRec(), 0u);
}

TEST(WorkAreas, AliasesAreCaseBlindAndReusedAfterClosing) {
    TempHome home;
    WorkAreas areas(home.data());
    ASSERT_TRUE(areas.create("a", oneField()));
    ASSERT_TRUE(areas.create("b", oneField()));
    DbfTable* a = areas.use("a", "dmp3");
    ASSERT_TRUE(a);
    EXPECT_EQ(areas.get("DMP3"), a);
    EXPECT_EQ(areas.selected(), a);
    DbfTable* b = areas.use("b", "DSTAT");
    EXPECT_EQ(areas.selected(), b);
    EXPECT_EQ(areas.aliases(), (std::vector<std::string>{"DMP3", "DSTAT"}));
    EXPECT_TRUE(areas.select("Dmp3"));
    EXPECT_EQ(areas.selected(), a);
    EXPECT_FALSE(areas.select("DCHK"));
    EXPECT_EQ(areas.selected(), a);

    // The alias in use is closed first: its file is free again and only one area holds the alias.
    DbfTable* again = areas.use("b", "DMP3");
    EXPECT_EQ(again, nullptr);  // b is still open under DSTAT
    EXPECT_TRUE(base::netErr());
    EXPECT_EQ(areas.get("DMP3"), nullptr);
    EXPECT_TRUE(DbfTable::open(home.data() / "a.dbf"));
    areas.close("dstat");
    EXPECT_TRUE(areas.use("b", "DMP3"));
    EXPECT_EQ(areas.aliases(), (std::vector<std::string>{"DMP3"}));
    areas.closeAll();
    EXPECT_TRUE(areas.aliases().empty());
    EXPECT_EQ(areas.selected(), nullptr);
}

TEST(WorkAreas, FailedUseReportsAndLeavesNoArea) {
    TempHome home;
    WorkAreas areas(home.data());
    ErrorCatcher errors;
    EXPECT_EQ(areas.use("missing", "DIMP"), nullptr);
    ASSERT_EQ(errors.errors.size(), 1u);
    EXPECT_EQ(errors.errors[0].genCode, base::kErrOpen);
    EXPECT_EQ(errors.errors[0].osCode, 2);
    EXPECT_TRUE(areas.aliases().empty());
}

}  // namespace
}  // namespace klango::dbf

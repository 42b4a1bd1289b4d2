#include "trackdb/track_record.h"

#include "dbf/key_expression.h"

#include "platform/file_names.h"
#include "base/cp1252.h"

namespace klango::trackdb {

using dbf::FieldDef;
using dbf::FieldType;

const dbf::Structure& trackStructure() {
    static const dbf::Structure fields = [] {
        dbf::Structure s = {
            {"DISCNAME", FieldType::kCharacter, 50, 0}, {"PATH", FieldType::kCharacter, 250, 0},
            {"ALBUM", FieldType::kCharacter, 40, 0},    {"GROUP", FieldType::kCharacter, 40, 0},
            {"TITLE", FieldType::kCharacter, 40, 0},    {"GENRE", FieldType::kCharacter, 20, 0},
            {"YEAR", FieldType::kNumeric, 4, 0},        {"TIME", FieldType::kCharacter, 5, 0},
            {"TRACK", FieldType::kNumeric, 2, 0},       {"PLAYED", FieldType::kNumeric, 5, 0},
            {"PLAYDATE", FieldType::kDate, 8, 0},       {"PLAYTIME", FieldType::kCharacter, 5, 0},
            {"RANGE", FieldType::kNumeric, 1, 0},       {"INFO", FieldType::kCharacter, 40, 0},
            {"TAGGED", FieldType::kLogical, 1, 0},      {"TAG", FieldType::kNumeric, 1, 0},
            {"TAGREAD", FieldType::kCharacter, 5, 0},   {"IMPORT", FieldType::kNumeric, 1, 0},
            {"TRSIZE", FieldType::kNumeric, 9, 2},
        };
        dbf::layoutFields(s);
        return s;
    }();
    return fields;
}

int NEWHEADLEN(const dbf::Structure& fields) { return dbf::recordLengthOf(fields); }

const std::array<TrackOrder, 6>& trackOrders() {
    static const std::array<TrackOrder, 6> orders = {{
        {1, "upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", " Interpret"},
        {2, "upper(ALBUM)+str(TRACK)+upper(TITLE)", " Albumtitel"},
        {3, "upper(TITLE)+upper(GROUP)+upper(ALBUM)", " Songtitel"},
        {4, "upper(GENRE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", " Genre"},
        {5, "TIME+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", "LZeit "},
        {6, "str(RANGE)+upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)", "Note "},
    }};
    return orders;
}

dbf::KeySpec trackOrderKey(const dbf::Structure& fields, const TrackOrder& order) {
    return dbf::compileKey(fields, order.expression, dbf::KeyCollation::kGerman);
}

std::string databaseBaseName(std::string_view name) {
    std::string_view n = base::trim(name);
    size_t slash = n.find_last_of("/\\");
    if (slash != std::string_view::npos) n = n.substr(slash + 1);
    if (n.size() >= 4 && base::upperAZ(n.substr(n.size() - 4)) == ".DBF") n = n.substr(0, n.size() - 4);
    return std::string(n);
}

std::string databaseNameRefusal(std::string_view name) {
    if (name.find('?') == std::string_view::npos) return {};
    return "Der Datenbankname enth\xE4lt Zeichen, die nicht im Namen einer Datenbank stehen k\xF6nnen "
           "(etwa \"?\" oder Zeichen au\xDF" "erhalb des westeurop\xE4ischen Zeichensatzes). "
           "Bitte w\xE4hlen Sie einen anderen Namen !";
}

std::filesystem::path databaseFile(const std::filesystem::path& dataFolder, std::string_view name,
                                   std::string_view suffix) {
    // The database name is a core text (CP1252); the file system names files in UTF-8. The files
    // of a database take the case of its table file as it lies on the disk ("MUSIK.dbf",
    // "MUSIK1.NTX", "MUSIK.bak"), whatever case the caller wrote the name in; a file that is
    // there already in another case is still found (an older program named them so).
    const std::string utf8 = base::cp1252ToUtf8(name);
    const std::filesystem::path table = platform::resolveCaseBlind(dataFolder, utf8 + ".dbf");
    std::error_code ec;
    if (std::filesystem::exists(table, ec)) {
        return platform::resolveCaseBlind(table.parent_path(), table.stem().string() + std::string(suffix));
    }
    return platform::resolveCaseBlind(dataFolder, utf8 + std::string(suffix));
}

std::filesystem::path indexFile(const std::filesystem::path& dataFolder, std::string_view name, int n) {
    return databaseFile(dataFolder, name, std::to_string(n) + ".NTX");
}

}  // namespace klango::trackdb

// The six criteria of the filter (genres, albums, artists, years, mark options, hit parade), the
// value lists the filter dialog offers (MAKEFARRAY), the hit list (FILTERHITS) and the condition
// of one record (FILTERIDX). The condition holds a copy of the criteria, the hit list and the
// moment the filter was set, so it judges a record by the record alone. Used by Queries, the
// filter dialog model and klango-cli.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/dbf_structure.h"
#include "dbf/record_view.h"
#include "platform/clock.h"

namespace klango::dbf {
class DbfTable;
}
namespace klango::shell {
struct AppState;
}

namespace klango::query {

enum Criterion : int { kGenre = 1, kAlbum, kArtist, kYear, kMarks, kHits };
inline constexpr int kCriterionCount = 6;

// The radio entries of the filter dialog, criterion 1 first.
inline constexpr std::array<const char*, kCriterionCount> kCriterionLabels = {
    " Musikrichtung (&Genre)", " &Albumtitel", " &Interpreten", " &Ver\xF6" "ffentlichungsjahr",
    " &Markierungen", " &Hitparade"};
inline constexpr std::array<const char*, 4> kMarkOptions = {
    "Markierte Datens\xE4tze", "Nicht markierte Datens\xE4tze", "Heute gespielte Titel",
    "Titel der letzten 2 Stunden"};
inline constexpr std::array<const char*, 6> kHitOptions = {"Top 10", "Top 40", "Top 100",
                                                            "Less 100", "Less 40", "Less 10"};

// AFILT1 ... AFILT6: index 0 is criterion 1.
using FilterCriteria = std::array<std::vector<std::string>, kCriterionCount>;
FilterCriteria storedCriteria(const shell::AppState& state);
void storeCriteria(shell::AppState& state, const FilterCriteria& criteria);
bool anyCriterion(const FilterCriteria& criteria);

// The filter view's key without and with a hit parade.
inline constexpr const char* kFilterKey =
    "upper(DMP3->GROUP)+upper(DMP3->ALBUM)+str(DMP3->TRACK)+upper(substr(DMP3->TITLE,1,38))";
inline constexpr const char* kHitsKey =
    "str(DMP3->PLAYED)+upper(DMP3->GROUP)+upper(DMP3->ALBUM)+str(DMP3->TRACK)+upper(substr(DMP3->TITLE,1,38))";
inline constexpr const char* kFilterConditionText = "(FilterIdx())";

// MAKEFARRAY: the values offered for criterion n. Criteria 1 to 3 the distinct field values
// without trailing blanks, 4 the distinct years as 4-character text, each in ascending code order
// over the table's records (deleted ones left out); 5 and 6 the fixed options.
std::vector<std::string> MAKEFARRAY(const dbf::DbfTable& table, int criterion);

// The first selected hit-parade option's size (10, 40 or 100) and direction.
struct HitParade {
    size_t size = 0;
    bool top = true;  // highest play counts first
};
HitParade hitParadeOf(const std::string& option);

// FILTERHITS' hit list: the record numbers of the n most (Top) or least (Less) played records of
// the whole table, ties decided by the rest of the hit-parade key in the same direction. Builds
// the order in file (the caller's "MP3FILT.NTX") for that.
std::vector<uint32_t> FILTERHITS(dbf::DbfTable& table, const HitParade& parade, const std::filesystem::path& file);

// FILTERIDX for a table of the given structure.
class FilterCondition {
public:
    FilterCondition(const FilterCriteria& criteria, const dbf::Structure& fields, const std::vector<uint32_t>& hits,
                    const platform::LocalTime& now);
    bool operator()(const dbf::RecordView& record, uint32_t recno) const;

private:
    bool beginsWithAny(const dbf::RecordView& record, int field, const std::vector<std::string>& values) const;
    bool meetsMark(const dbf::RecordView& record, char option) const;

    FilterCriteria m_criteria;
    std::vector<bool> m_hit;  // by record number
    bool m_useHits = false;
    platform::LocalTime m_now;
    int m_genre, m_album, m_group, m_year, m_tagged, m_playDate, m_playTime;
};

}  // namespace klango::query

#include "query/filter_criteria.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "base/cp1252.h"
#include "base/text_format.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/order.h"
#include "shell/app_state.h"

namespace klango::query {

namespace {

std::array<std::vector<std::string>*, kCriterionCount> lists(shell::AppState& s) {
    return {&s.AFILT1, &s.AFILT2, &s.AFILT3, &s.AFILT4, &s.AFILT5, &s.AFILT6};
}

// The year as str(YEAR) shows it in four characters ("1999", "   0").
std::string yearText(const dbf::RecordView& record, int field) {
    return base::strNumber(record.number(field), 4);
}

}  // namespace

FilterCriteria storedCriteria(const shell::AppState& state) {
    return {state.AFILT1, state.AFILT2, state.AFILT3, state.AFILT4, state.AFILT5, state.AFILT6};
}

void storeCriteria(shell::AppState& state, const FilterCriteria& criteria) {
    auto target = lists(state);
    for (size_t i = 0; i < criteria.size(); ++i) *target[i] = criteria[i];
}

bool anyCriterion(const FilterCriteria& criteria) {
    return std::any_of(criteria.begin(), criteria.end(), [](const auto& v) { return !v.empty(); });
}

std::vector<std::string> MAKEFARRAY(const dbf::DbfTable& table, int criterion) {
    if (criterion == kMarks) return {kMarkOptions.begin(), kMarkOptions.end()};
    if (criterion == kHits) return {kHitOptions.begin(), kHitOptions.end()};
    static constexpr const char* kFields[] = {"GENRE", "ALBUM", "GROUP", "YEAR"};
    if (criterion < kGenre || criterion > kYear) return {};
    const int field = table.fieldPos(kFields[criterion - 1]);
    if (field < 0) return {};
    std::unordered_set<std::string_view> seen;
    std::vector<std::string> values;
    for (uint32_t r = 1; r <= table.lastRec(); ++r) {
        const dbf::RecordView record = table.view(r);
        if (record.isDeleted()) continue;
        if (criterion == kYear) {
            // Few distinct years: the text is made only for a raw value not seen yet.
            if (seen.insert(record.raw(field)).second) values.push_back(yearText(record, field));
        } else {
            const std::string_view value = base::trimRight(record.raw(field));
            if (seen.insert(value).second) values.emplace_back(value);
        }
    }
    std::sort(values.begin(), values.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return (unsigned char)x < (unsigned char)y;
        });
    });
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

HitParade hitParadeOf(const std::string& option) {
    HitParade p;
    if (option.size() < 2) return p;
    const char c = option[option.size() - 2];
    p.size = c == '1' ? 10 : c == '4' ? 40 : 100;
    p.top = option[0] == 'T';
    return p;
}

std::vector<uint32_t> FILTERHITS(dbf::DbfTable& table, const HitParade& parade, const std::filesystem::path& file) {
    std::vector<uint32_t> hits;
    dbf::OrderOptions options;
    options.descending = parade.top;
    auto order = dbf::Order::build(table, file, dbf::compileKey(table.structure(), kHitsKey, dbf::KeyCollation::kGerman),
                                   options);
    if (!order) return hits;
    for (size_t i = 0; i < order->size() && hits.size() < parade.size; ++i) hits.push_back(order->recnoAt(i));
    return hits;
}

FilterCondition::FilterCondition(const FilterCriteria& criteria, const dbf::Structure& fields,
                                 const std::vector<uint32_t>& hits, const platform::LocalTime& now)
    : m_criteria(criteria), m_now(now) {
    m_genre = dbf::fieldIndexOf(fields, "GENRE");
    m_album = dbf::fieldIndexOf(fields, "ALBUM");
    m_group = dbf::fieldIndexOf(fields, "GROUP");
    m_year = dbf::fieldIndexOf(fields, "YEAR");
    m_tagged = dbf::fieldIndexOf(fields, "TAGGED");
    m_playDate = dbf::fieldIndexOf(fields, "PLAYDATE");
    m_playTime = dbf::fieldIndexOf(fields, "PLAYTIME");
    m_useHits = !criteria[kHits - 1].empty();
    if (m_useHits) {
        uint32_t last = 0;
        for (uint32_t r : hits) last = std::max(last, r);
        m_hit.assign(size_t(last) + 1, false);
        for (uint32_t r : hits) m_hit[r] = true;
    }
}

bool FilterCondition::beginsWithAny(const dbf::RecordView& record, int field,
                                    const std::vector<std::string>& values) const {
    if (values.empty()) return true;
    if (field < 0) return false;
    const std::string_view raw = record.raw(field);
    for (const std::string& v : values) {
        if (raw.substr(0, v.size()) == v) return true;
    }
    return false;
}

bool FilterCondition::meetsMark(const dbf::RecordView& record, char option) const {
    const bool tagged = m_tagged >= 0 && record.logical(m_tagged);
    switch (option) {
        case 'M':
            return tagged;
        case 'N':
            return !tagged;
        case 'H':
        case 'T': {
            if (m_playDate < 0 || record.date(m_playDate) != m_now.date) return false;
            if (option == 'H') return true;
            if (m_playTime < 0) return false;
            const long long diff = m_now.hour - base::leadingNumber(record.raw(m_playTime).substr(0, 2));
            return diff >= 0 && diff <= 2;
        }
        default:
            return false;
    }
}

bool FilterCondition::operator()(const dbf::RecordView& record, uint32_t recno) const {
    if (!beginsWithAny(record, m_genre, m_criteria[kGenre - 1])) return false;
    if (!beginsWithAny(record, m_album, m_criteria[kAlbum - 1])) return false;
    if (!beginsWithAny(record, m_group, m_criteria[kArtist - 1])) return false;
    const auto& years = m_criteria[kYear - 1];
    if (!years.empty()) {
        if (m_year < 0) return false;
        const std::string year = yearText(record, m_year);
        if (std::find(years.begin(), years.end(), year) == years.end()) return false;
    }
    const auto& marks = m_criteria[kMarks - 1];
    if (!marks.empty()) {
        bool any = false;
        for (const std::string& m : marks) {
            if (!m.empty() && meetsMark(record, m[0])) {
                any = true;
                break;
            }
        }
        if (!any) return false;
    }
    if (m_useHits && (recno >= m_hit.size() || !m_hit[recno])) return false;
    return true;
}

}  // namespace klango::query

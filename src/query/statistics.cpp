#include "query/statistics.h"

#include <cmath>
#include <string_view>
#include <algorithm>
#include <cstring>
#include <vector>

#include "base/cp1252.h"
#include "base/text_format.h"
#include "dbf/dbf_table.h"
#include "dbf/order.h"
#include "platform/clock.h"

namespace klango::query {

namespace {

// The distinct values of a field after a-to-z capitals, counted by a 128-bit hash of the
// field's bytes (trailing blanks are part of every value alike, so they do not matter), in an
// open-addressing set: a million records take a few dozen milliseconds, no value is copied.
class DistinctCounter {
public:
    // The set starts small and doubles as values come: a dozen genres stay in a few cache
    // lines, and only a field with many values gets a large set.
    DistinctCounter() {
        m_slots.assign(1024, Slot{});
        m_mask = m_slots.size() - 1;
    }

    void add(const char* bytes, size_t n) {
        Slot h = hash(bytes, n);
        for (size_t i = size_t(h.a) & m_mask;; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.empty()) {
                s = h;
                if (++m_count * 2 > m_slots.size()) grow();
                return;
            }
            if (s.a == h.a && s.b == h.b) return;
        }
    }
    long long count() const { return (long long)m_count; }

private:
    struct Slot {
        uint64_t a = 0, b = 0;
        bool empty() const { return a == 0 && b == 0; }
    };

    static uint64_t upperWord(uint64_t x) {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        constexpr uint64_t kHigh = 0x8080808080808080ull;
        const uint64_t low7 = x & ~kHigh;
        const uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;
        const uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;
        return x ^ ((atLeastA & ~aboveZ & ~x & kHigh) >> 2);
    }
    static uint64_t mix(uint64_t h) {
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ull;
        return h ^ (h >> 33);
    }
    static Slot hash(const char* bytes, size_t n) {
        uint64_t a = 0x9E3779B97F4A7C15ull ^ n, b = 0xC2B2AE3D27D4EB4Full + n;
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, bytes + i, 8);
            w = upperWord(w);
            a = mix(a ^ w);
            b = (b ^ w) * 0x100000001B3ull + (b >> 29);
        }
        uint64_t w = 0;
        for (size_t k = 0; i < n; ++i, ++k) w |= uint64_t((unsigned char)base::upperAZ(bytes[i])) << (8 * k);
        a = mix(a ^ w);
        b = mix((b ^ w) * 0x100000001B3ull);
        Slot s{a, b};
        if (s.empty()) s.b = 1;
        return s;
    }
    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.size() * 2, Slot{});
        m_mask = m_slots.size() - 1;
        for (const Slot& s : old) {
            if (s.empty()) continue;
            size_t i = size_t(s.a) & m_mask;
            while (!m_slots[i].empty()) i = (i + 1) & m_mask;
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_count = 0;
};

std::string twoDigits(long long v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string padLeft(std::string s, size_t width) {
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

}  // namespace

StatFields::StatFields(const dbf::Structure& f)
    : time(dbf::fieldIndexOf(f, "TIME")),
      played(dbf::fieldIndexOf(f, "PLAYED")),
      size(dbf::fieldIndexOf(f, "TRSIZE")),
      group(dbf::fieldIndexOf(f, "GROUP")),
      album(dbf::fieldIndexOf(f, "ALBUM")),
      title(dbf::fieldIndexOf(f, "TITLE")),
      genre(dbf::fieldIndexOf(f, "GENRE")) {}

void MP3STATIME(StatSums& sums, const dbf::RecordView& record, const StatFields& f) {
    if (f.time >= 0) {
        const std::string_view time = record.raw(f.time);
        if (base::trimRight(time).empty()) sums.allLengths = false;
        const size_t colon = time.find(':');
        // Text that is no number counts 0 ("--:--" adds nothing).
        sums.minutes += base::leadingNumber(time.substr(0, colon));
        if (colon != std::string_view::npos) sums.seconds += base::leadingNumber(time.substr(colon + 1));
    } else {
        sums.allLengths = false;
    }
    if (f.played >= 0 && record.number(f.played) > 0) ++sums.played;
    if (f.size >= 0) sums.sizeCents += std::llround(record.number(f.size) * 100.0);
}

long long StatFigures::hours() const { return (sums.minutes + sums.seconds / 60) / 60; }
int StatFigures::minutesPart() const { return int((sums.minutes + sums.seconds / 60) % 60); }
int StatFigures::secondsPart() const { return int(sums.seconds % 60); }
double StatFigures::percent() const { return titles == 0 ? 0.0 : 100.0 / double(titles) * double(sums.played); }

StatFigures tableFigures(const dbf::DbfTable& table, bool wholeTable) {
    StatFigures fig;
    const StatFields f(table.structure());
    const uint32_t last = table.lastRec();
    DistinctCounter artists, albums, titles, genres;
    auto add = [](DistinctCounter& counter, const dbf::RecordView& r, int field) {
        if (field < 0) return counter.add("", 0);
        const std::string_view raw = r.raw(field);
        counter.add(raw.data(), raw.size());
    };
    // The sums go with the same pass unless a view shows only some of the records.
    const dbf::Order* view = wholeTable ? nullptr : table.currentOrder();
    if (view && !view->options().condition) view = nullptr;
    for (uint32_t r = 1; r <= last; ++r) {
        const dbf::RecordView record = table.view(r);
        if (record.isDeleted()) continue;
        add(artists, record, f.group);
        add(albums, record, f.album);
        add(titles, record, f.title);
        add(genres, record, f.genre);
        if (!view) MP3STATIME(fig.sums, record, f);
    }
    fig.artists = artists.count();
    fig.albums = albums.count();
    fig.titles = titles.count();
    fig.genres = genres.count();
    if (view) {
        for (size_t i = 0; i < view->size(); ++i) MP3STATIME(fig.sums, table.view(view->recnoAt(i)), f);
    }
    return fig;
}

std::string timeNote(const StatFigures& fig) {
    if (fig.sums.allLengths) return "Alle Titel enthalten Laufzeiten.";
    if (fig.hours() == 0 && fig.minutesPart() == 0 && fig.secondsPart() == 0) return "Kein Titel enth\xE4lt Laufzeiten !";
    return "Nicht alle Titel enthalten Laufzeiten !";
}

std::string timeNoteColors(const StatFigures& fig) { return fig.sums.allLengths ? "N/W" : "R+/W"; }

std::string wholeNumber(double value, int width) { return padLeft(base::trimmedNumber(value, 0), size_t(width)); }

std::string pictureNumber(double value, int width, int decimals, bool grouped) {
    const double rounded = std::round(std::fabs(value) * std::pow(10.0, decimals));
    const long long scale = (long long)std::llround(std::pow(10.0, decimals));
    const long long whole = (long long)(rounded / double(scale));
    const long long frac = (long long)rounded - whole * scale;
    std::string text = grouped ? base::groupThousands(whole, '.') : std::to_string(whole);
    if (decimals > 0) {
        std::string f = std::to_string(frac);
        text += "," + std::string(size_t(decimals) - std::min(f.size(), size_t(decimals)), '0') + f;
    }
    if (value < 0 && rounded != 0) text.insert(0, "-");
    return padLeft(text, size_t(width));
}

std::string playTimeText(const StatFigures& fig) {
    return padLeft(std::to_string(fig.hours()), 3) + ":" + twoDigits(fig.minutesPart()) + ":" +
           twoDigits(fig.secondsPart());
}

GrandTotals grandTotals(const std::vector<DatabaseStats>& rows) {
    GrandTotals t;
    for (const DatabaseStats& row : rows) {
        t.minutes += row.figures.sums.minutes;
        t.seconds += row.figures.sums.seconds;
        t.sizeCents += row.figures.sums.sizeCents;
        t.tracks += row.figures.titles;
    }
    return t;
}

std::string totalTimeText(const GrandTotals& t) {
    const long long totalSeconds = t.minutes * 60 + t.seconds;
    const long long days = totalSeconds / 86400;
    const long long hours = totalSeconds / 3600 % 24;
    const long long minutes = totalSeconds / 60 % 60;
    const long long seconds = totalSeconds % 60;
    return padLeft(std::to_string(days), 3) + "." + twoDigits(hours) + ":" + twoDigits(minutes) + ":" +
           twoDigits(seconds) + " (tt.hh:mm:ss)";
}

std::string summaryLine(const GrandTotals& t) {
    return "gesamte Laufzeit: " + std::string(base::trimLeft(totalTimeText(t))) + "   in: " + std::to_string(t.tracks) +
           " Titel   mit: " + pictureNumber(double(t.sizeCents) / 100.0, 0, 2, true) + " MB";
}

const dbf::Structure& statisticsStructure() {
    static const dbf::Structure fields = [] {
        using dbf::FieldType;
        dbf::Structure s = {
            {"FILENAME", FieldType::kCharacter, 20, 0}, {"ALBUM", FieldType::kNumeric, 9, 0},
            {"GROUP", FieldType::kNumeric, 9, 0},       {"TITLE", FieldType::kNumeric, 9, 0},
            {"GENRE", FieldType::kNumeric, 9, 0},       {"STD", FieldType::kNumeric, 3, 0},
            {"MIN", FieldType::kNumeric, 2, 0},         {"SEK", FieldType::kNumeric, 2, 0},
            {"PLTIME", FieldType::kCharacter, 9, 0},    {"PLAYED", FieldType::kNumeric, 3, 0},
            {"PLPROZ", FieldType::kNumeric, 3, 0},      {"TRSIZE", FieldType::kNumeric, 12, 2},
        };
        dbf::layoutFields(s);
        return s;
    }();
    return fields;
}

bool writeStatisticsTable(const std::filesystem::path& file, const std::vector<DatabaseStats>& rows) {
    if (!dbf::DbfTable::create(file, statisticsStructure(), platform::clock().today())) return false;
    std::unique_ptr<dbf::DbfTable> t = dbf::DbfTable::open(file);
    if (!t) return false;
    for (const DatabaseStats& row : rows) {
        const StatFigures& f = row.figures;
        t->appendBlank();
        t->putC(0, row.name);
        t->putN(1, double(f.albums));
        t->putN(2, double(f.artists));
        t->putN(3, double(f.titles));
        t->putN(4, double(f.genres));
        t->putN(5, double(f.hours()));
        t->putN(6, f.minutesPart());
        t->putN(7, f.secondsPart());
        t->putC(8, playTimeText(f));
        t->putN(9, double(f.sums.played));
        t->putN(10, std::round(f.percent()));
        t->putN(11, f.sums.size());
    }
    const bool ok = t->flush();
    t->close();
    return ok;
}

}  // namespace klango::query

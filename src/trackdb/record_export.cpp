#include "trackdb/record_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"

namespace klango::trackdb {

using dbf::FieldType;

std::string exportValue(const dbf::RecordView& record, int field) {
    const dbf::FieldDef& f = record.fields()[field];
    switch (f.type) {
        case FieldType::kCharacter:
            return base::cp1252ToUtf8(base::trimRight(record.raw(field)));
        case FieldType::kNumeric: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", f.decimals, record.number(field));
            std::string s = buf;
            if (s.size() > 1 && s[0] == '-' && std::strtod(buf, nullptr) == 0) s.erase(0, 1);  // no "-0"
            return s;
        }
        case FieldType::kDate: {
            base::Date d = record.date(field);
            return d.isEmpty() ? std::string() : d.toDbf();
        }
        case FieldType::kLogical:
            return record.logical(field) ? "T" : "F";
    }
    return {};
}

std::string csvQuote(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

namespace {

// Display width of UTF-8 text: one column per code point.
size_t columns(const std::string& utf8) {
    return size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool rightAligned(FieldType t) { return t == FieldType::kNumeric; }

}  // namespace

size_t writeRecords(dbf::DbfTable& table, std::ostream& out, bool csv) {
    const auto& fields = table.structure();
    const int n = int(fields.size());
    size_t rows = 0;
    if (csv) {
        for (int i = 0; i < n; ++i) out << (i ? "," : "") << csvQuote(fields[i].name);
        out << "\r\n";
        for (table.goTop(); !table.eof(); table.skip()) {
            auto rec = table.current();
            for (int i = 0; i < n; ++i) out << (i ? "," : "") << csvQuote(exportValue(rec, i));
            out << "\r\n";
            ++rows;
        }
        return rows;
    }
    // Aligned: a first pass finds each column's width.
    std::vector<size_t> width(n);
    for (int i = 0; i < n; ++i) width[i] = fields[i].name.size();
    for (table.goTop(); !table.eof(); table.skip()) {
        auto rec = table.current();
        for (int i = 0; i < n; ++i) width[i] = std::max(width[i], columns(exportValue(rec, i)));
    }
    auto cell = [&](const std::string& text, int i, bool right) {
        std::string pad(width[i] - std::min(width[i], columns(text)), ' ');
        out << (i ? "  " : "") << (right ? pad + text : text + (i + 1 < n ? pad : std::string()));
    };
    for (int i = 0; i < n; ++i) cell(fields[i].name, i, rightAligned(fields[i].type));
    out << '\n';
    for (table.goTop(); !table.eof(); table.skip()) {
        auto rec = table.current();
        for (int i = 0; i < n; ++i) cell(exportValue(rec, i), i, rightAligned(fields[i].type));
        out << '\n';
        ++rows;
    }
    return rows;
}

}  // namespace klango::trackdb

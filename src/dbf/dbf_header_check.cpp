#include "dbf/dbf_header_check.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "base/cp1252.h"
#include "base/error.h"
#include "dbf/dbf_table.h"
#include "platform/binary_file.h"

namespace klango::dbf {

namespace fs = std::filesystem;

namespace {

uint16_t get16(const char* p) { return uint16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8)); }
uint32_t get32(const char* p) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(p[i]);
    return v;
}

bool nameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// Reads the descriptors strictly: every byte that decides the layout must be one the format
// allows. Empty with why set otherwise.
Structure strictDescriptors(const std::vector<char>& header, int headerLength, std::string& why) {
    Structure fields;
    const int room = (headerLength - dbf::kHeaderSize) / dbf::kDescriptorSize;
    int n = 0;
    for (;; ++n) {
        const size_t at = size_t(dbf::kHeaderSize + dbf::kDescriptorSize * n);
        if (at >= header.size()) {
            why = "Feldliste ohne Endemarke";
            return {};
        }
        if (uint8_t(header[at]) == dbf::kDescriptorEnd) break;
        if (n >= room) {
            why = "Feldliste ohne Endemarke";
            return {};
        }
        const char* d = header.data() + at;
        FieldDef f;
        size_t len = 0;
        while (len < 10 && d[len] != 0) ++len;
        f.name.assign(d, len);
        if (f.name.empty() || !std::all_of(f.name.begin(), f.name.end(), nameCharacter)) {
            why = "Feld " + std::to_string(n + 1) + " mit unzul\xE4ssigem Namen";
            return {};
        }
        const uint8_t width = uint8_t(d[16]);
        const uint8_t decimals = uint8_t(d[17]);
        bool ok = true;
        switch (d[11]) {
            case 'C':
                f.type = FieldType::kCharacter;
                f.width = get16(d + 16);
                ok = f.width > 0;
                break;
            case 'N':
                f.type = FieldType::kNumeric;
                f.width = width;
                f.decimals = decimals;
                ok = width >= 1 && width <= dbf::kMaxNumericWidth && (decimals == 0 || decimals + 2 <= width);
                break;
            case 'D':
                f.type = FieldType::kDate;
                f.width = 8;
                ok = width == 8 && decimals == 0;
                break;
            case 'L':
                f.type = FieldType::kLogical;
                f.width = 1;
                ok = width == 1 && decimals == 0;
                break;
            default:
                why = "Feld " + f.name + " mit unbekanntem Typ";
                return {};
        }
        if (!ok) {
            why = "Feld " + f.name + " mit unzul\xE4ssiger Breite";
            return {};
        }
        if (fieldIndexOf(fields, f.name) >= 0) {
            why = "Feld " + f.name + " doppelt";
            return {};
        }
        fields.push_back(std::move(f));
    }
    if (fields.empty()) {
        why = "keine Felder";
        return {};
    }
    // The header ends with the end mark, perhaps one 0x00 after it; nothing else fits.
    const int used = dbf::kHeaderSize + dbf::kDescriptorSize * n + 1;
    if (headerLength != used && !(headerLength == used + 1 && header[size_t(used)] == 0)) {
        why = "Kopfl\xE4nge passt nicht zur Feldliste";
        return {};
    }
    layoutFields(fields);
    return fields;
}

}  // namespace

TableFileFacts inspectTableFile(const fs::path& file) {
    TableFileFacts facts;
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) return facts;
    facts.readable = true;
    facts.fileSize = uint64_t(size);
    std::vector<char> header(size_t(std::min<uint64_t>(facts.fileSize, 65535)));
    if (!in.read(header.data(), std::streamsize(header.size()))) {
        facts.readable = false;
        return facts;
    }
    if (header.size() < size_t(dbf::kHeaderSize)) {
        facts.damage = "Datei k\xFCrzer als der Kopf";
        return facts;
    }
    const uint8_t version = uint8_t(header[0]);
    if (version != dbf::kVersionPlain && version != dbf::kVersionMemo && version != dbf::kVersionVisualFoxPro) {
        facts.damage = "unbekannte Version";
        return facts;
    }
    facts.storedCount = get32(header.data() + 4);
    facts.headerLength = get16(header.data() + 8);
    facts.recordLength = get16(header.data() + 10);
    if (uint64_t(facts.headerLength) > facts.fileSize || facts.headerLength < dbf::kHeaderSize + dbf::kDescriptorSize + 1) {
        facts.damage = "Kopfl\xE4nge au\xDF" "erhalb der Datei";
        return facts;
    }
    header.resize(size_t(facts.headerLength));
    facts.fields = strictDescriptors(header, facts.headerLength, facts.damage);
    if (facts.fields.empty()) return facts;
    if (recordLengthOf(facts.fields) != facts.recordLength) {
        facts.damage = "Feldbreiten ergeben nicht die Satzl\xE4nge";
        facts.fields.clear();
        return facts;
    }
    const uint64_t body = facts.fileSize - uint64_t(facts.headerLength);
    facts.wholeRecords = body / uint64_t(facts.recordLength);
    facts.tailBytes = body % uint64_t(facts.recordLength);
    if (facts.tailBytes > 0) {
        // What follows the whole records is the end mark or the start of a record cut short.
        char first = 0;
        in.seekg(std::streamoff(facts.fileSize - facts.tailBytes));
        if (!in.read(&first, 1)) {
            facts.readable = false;
            return facts;
        }
        facts.endMarkOnly = facts.tailBytes == 1 && uint8_t(first) == dbf::kEndOfFile;
        if (uint8_t(first) != dbf::kEndOfFile && first != dbf::kValidFlag && first != dbf::kDeletedFlag) {
            facts.damage = "Datens\xE4tze beginnen nicht an ihrer Stelle";
            return facts;
        }
    }
    return facts;
}

bool repairCountAndEndMark(const fs::path& file, const TableFileFacts& facts) {
    if (!facts.consistent()) return false;
    const uint64_t end = uint64_t(facts.headerLength) + facts.wholeRecords * uint64_t(facts.recordLength);
    const uint32_t count = uint32_t(facts.wholeRecords);
    const char countBytes[4] = {char(count & 0xFF), char((count >> 8) & 0xFF), char((count >> 16) & 0xFF),
                                char((count >> 24) & 0xFF)};
    const char endMark = char(dbf::kEndOfFile);
    int os = 0;
    auto out = platform::BinaryFile::open(file, os);
    bool ok = out && out->resize(end) && out->writeAt(end, &endMark, 1) && out->writeAt(4, countBytes, 4) &&
              out->sync();
    if (out) {
        if (!ok) os = out->lastOsCode();
        ok = out->close() && ok;
    }
    if (!ok) {
        base::ErrorRecord e;
        e.genCode = base::kErrWrite;
        e.osCode = os;
        e.subsystem = "DBF";
        e.description = "Write error";
        e.fileName = file.string();
        e.operation = "repair";
        e.canDefault = true;
        base::raiseError(e);
    }
    return ok;
}

}  // namespace klango::dbf

#include "dbf/dbf_table.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <system_error>

#include "platform/binary_file.h"
#include "platform/mapped_file.h"
#include "platform/clock.h"
#include "base/cp1252.h"
#include "base/error.h"
#include "dbf/field_codec.h"
#include "dbf/order.h"

namespace klango::dbf {

namespace fs = std::filesystem;
using platform::BinaryFile;

namespace {

// File header offsets.
constexpr int kOffVersion = 0;
constexpr int kOffYear = 1;
constexpr int kOffMonth = 2;
constexpr int kOffDay = 3;
constexpr int kOffRecordCount = 4;
constexpr int kOffHeaderLength = 8;
constexpr int kOffRecordLength = 10;
// Field descriptor offsets.
constexpr int kDescNameBytes = 11;  // written: up to 10 characters and NUL padding
constexpr int kDescNameRead = 10;   // read: the first 10 bytes up to a NUL
constexpr int kDescType = 11;
constexpr int kDescWidth = 16;
constexpr int kDescDecimals = 17;
// The smallest header that holds one descriptor and the end mark.
constexpr int kMinHeaderLength = dbf::kHeaderSize + dbf::kDescriptorSize + 1;
// The header stores the record length in 16 bits; nothing longer can be a table.
constexpr int kMaxRecordLength = 65535;
constexpr int kMaxCharacterWidth = 65535;
// Writes of whole files go out in pieces of this size.
constexpr size_t kWriteChunk = size_t(1) << 20;

constexpr const char* kSubsystem = "DBF";
constexpr int kSubOpen = 1001;
constexpr int kSubCreate = 1004;
constexpr int kSubWrite = 1011;
constexpr int kSubCorruption = 1012;
constexpr int kSubMemory = 1013;
constexpr int kSubArgument = 1014;
constexpr int kSubNoOrder = 1020;
constexpr int kSubDataWidth = 1021;

uint16_t get16(const char* p) { return uint16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8)); }
void put16(char* p, uint32_t v) {
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
}
void put32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}

base::ErrorRecord tableError(int genCode, int subCode, const char* description, const fs::path& file,
                       const char* operation, int osCode = 0) {
    base::ErrorRecord e;
    e.genCode = genCode;
    e.subCode = subCode;
    e.osCode = osCode;
    e.severity = base::kSevError;
    e.subsystem = kSubsystem;
    e.description = description;
    e.fileName = file.string();
    e.operation = operation;
    return e;
}

// Tells the handler and says whether it asked for another try.
bool askRetry(base::ErrorRecord e) {
    e.canRetry = true;
    e.canDefault = true;
    return base::raiseError(e).kind == base::ErrorAnswer::kRetry;
}

void reportCorruption(const fs::path& file, const std::string& why) {
    base::ErrorRecord e = tableError(base::kErrCorruption, kSubCorruption, "Corruption detected", file, "open");
    e.args = std::vector<base::Value>{why};
    e.canDefault = true;
    base::raiseError(e);
}

void stampDate(char* header, base::Date date) {
    int year = std::clamp(date.year - 1900, 0, 255);
    header[kOffYear] = char(year);
    header[kOffMonth] = char(std::clamp(date.month, 0, 255));
    header[kOffDay] = char(std::clamp(date.day, 0, 255));
}

// The structure a table is created from, normalised: capitals, names cut to 10, fixed widths of
// dates and logicals. Empty when the list cannot make a table; why says what is wrong.
Structure normalised(const Structure& fields, std::string& why) {
    Structure out;
    if (fields.empty()) {
        why = "keine Felder";
        return {};
    }
    for (FieldDef f : fields) {
        f.name = base::upperAZ(base::trim(f.name));
        if (f.name.size() > size_t(kDescNameRead)) f.name.resize(size_t(kDescNameRead));
        if (f.name.empty()) {
            why = "Feld ohne Namen";
            return {};
        }
        switch (f.type) {
            case FieldType::kCharacter:
                f.decimals = 0;
                if (f.width < 1 || f.width > kMaxCharacterWidth) {
                    why = "Textfeld " + f.name + " mit unzulaessiger Breite";
                    return {};
                }
                break;
            case FieldType::kNumeric:
                if (f.width < 1 || f.width > dbf::kMaxNumericWidth || f.decimals < 0 || f.decimals >= f.width) {
                    why = "Zahlenfeld " + f.name + " mit unzulaessiger Breite";
                    return {};
                }
                break;
            case FieldType::kDate:
                f.width = 8;
                f.decimals = 0;
                break;
            case FieldType::kLogical:
                f.width = 1;
                f.decimals = 0;
                break;
            default:
                why = "Feld " + f.name + " mit unbekanntem Typ";
                return {};
        }
        out.push_back(f);
    }
    if (recordLengthOf(out) > kMaxRecordLength) {
        why = "Satzlaenge zu gross";
        return {};
    }
    layoutFields(out);
    return out;
}

// Header, descriptors, 0x0D and 0x00 of a table the program writes.
std::vector<char> buildHeader(const Structure& fields, base::Date date, uint32_t count) {
    const int headerLength = dbf::kHeaderSize + dbf::kDescriptorSize * int(fields.size()) + 2;
    std::vector<char> h(size_t(headerLength), 0);
    h[kOffVersion] = char(dbf::kVersionPlain);
    stampDate(h.data(), date);
    put32(&h[kOffRecordCount], count);
    put16(&h[kOffHeaderLength], uint32_t(headerLength));
    put16(&h[kOffRecordLength], uint32_t(recordLengthOf(fields)));
    for (size_t i = 0; i < fields.size(); ++i) {
        char* d = &h[size_t(dbf::kHeaderSize + dbf::kDescriptorSize * int(i))];
        const FieldDef& f = fields[i];
        std::memcpy(d, f.name.data(), std::min(f.name.size(), size_t(kDescNameBytes - 1)));
        d[kDescType] = char(f.type);
        if (f.type == FieldType::kCharacter) {
            put16(d + kDescWidth, uint32_t(f.width));
        } else {
            d[kDescWidth] = char(f.width);
            d[kDescDecimals] = char(f.type == FieldType::kNumeric ? f.decimals : 0);
        }
    }
    h[size_t(headerLength - 2)] = char(dbf::kDescriptorEnd);
    h[size_t(headerLength - 1)] = 0;
    return h;
}

// Reads the descriptors of a header by the reading rules. Empty on corruption, with why set.
Structure parseDescriptors(const std::vector<char>& header, std::string& why) {
    Structure fields;
    const int count = (int(header.size()) - dbf::kHeaderSize) / dbf::kDescriptorSize;
    for (int i = 0; i < count; ++i) {
        const char* d = header.data() + dbf::kHeaderSize + dbf::kDescriptorSize * i;
        // Foreign writers pad the header (a backlink area after the end mark, or plain zeros):
        // the end mark, or a descriptor of nothing but zeros, ends the list.
        if (uint8_t(d[0]) == dbf::kDescriptorEnd) break;
        if (std::all_of(d, d + dbf::kDescriptorSize, [](char c) { return c == 0; })) break;
        FieldDef f;
        size_t len = 0;
        while (len < size_t(kDescNameRead) && d[len] != 0) ++len;
        f.name = base::upperAZ(std::string_view(d, len));
        const uint8_t widthByte = uint8_t(d[kDescWidth]);
        const uint8_t decimalsByte = uint8_t(d[kDescDecimals]);
        switch (d[kDescType]) {
            case 'C':
                f.type = FieldType::kCharacter;
                f.width = get16(d + kDescWidth);
                break;
            case 'N':
                f.type = FieldType::kNumeric;
                f.width = widthByte;
                f.decimals = decimalsByte;
                if (f.width > dbf::kMaxNumericWidth) {
                    why = "Zahlenfeld " + f.name + " breiter als 20";
                    return {};
                }
                break;
            case 'D':
                f.type = FieldType::kDate;
                f.width = 8;
                break;
            case 'L':
                f.type = FieldType::kLogical;
                f.width = 1;
                break;
            default:
                why = "Feld " + f.name + " mit unbekanntem Typ";
                return {};
        }
        if (f.width == 0) {
            why = "Feld " + f.name + " ohne Breite";
            return {};
        }
        fields.push_back(std::move(f));
    }
    if (fields.empty()) {
        why = "keine Felder";
        return {};
    }
    if (recordLengthOf(fields) > kMaxRecordLength) {
        why = "Satzlaenge zu gross";
        return {};
    }
    layoutFields(fields);
    return fields;
}

// Writes a whole new file beside file and renames it over file, so that a failure never leaves a
// half-written table behind and an existing file is replaced in one step. A file that someone
// holds open is not replaced (sharing violation). body writes everything after offset 0 through
// the given file. Errors go to the handler as create errors (retry restarts from the beginning),
// or as write errors when writing failed. On success the new file is returned, still locked.
// ownFile: the caller itself holds file open (pack), so its lock is not asked for.
std::unique_ptr<BinaryFile> writeWholeFile(const fs::path& file, const std::function<bool(BinaryFile&)>& body,
                                           bool ownFile = false) {
    for (;;) {
        int os = 0;
        std::unique_ptr<BinaryFile> existing;
        std::error_code ec;
        if (!ownFile && fs::exists(file, ec)) {
            existing = BinaryFile::open(file, os);
            if (!existing && os != platform::kOsFileNotFound) {
                if (askRetry(tableError(base::kErrCreate, kSubCreate, "Create error", file, "create", os))) continue;
                return nullptr;
            }
        }
        std::unique_ptr<BinaryFile> temp;
        fs::path tempPath;
        static std::mt19937 rng{std::random_device{}()};
        for (int attempt = 0; attempt < 20 && !temp; ++attempt) {
            tempPath = file.parent_path() / ("." + file.filename().string() + ".tmp" + std::to_string(rng() % 1000000));
            temp = BinaryFile::createNew(tempPath, os);
            if (!temp && os != platform::kOsFileExists) break;
        }
        if (!temp) {
            if (askRetry(tableError(base::kErrCreate, kSubCreate, "Create error", file, "create", os))) continue;
            return nullptr;
        }
        if (!body(*temp)) {
            int writeOs = temp->lastOsCode();
            temp.reset();
            fs::remove(tempPath, ec);
            if (askRetry(tableError(base::kErrWrite, kSubWrite, "Write error", file, "write", writeOs))) continue;
            return nullptr;
        }
        fs::rename(tempPath, file, ec);
        if (ec) {
            temp.reset();
            std::error_code ignored;
            fs::remove(tempPath, ignored);
            int renameOs = platform::osCodeOfErrno(ec.value());
            if (askRetry(tableError(base::kErrCreate, kSubCreate, "Create error", file, "create", renameOs))) continue;
            return nullptr;
        }
        // The lock on the replaced file goes with it; the new file stays locked in temp.
        return temp;
    }
}

// Writes buffer in pieces from offset.
bool writeChunked(BinaryFile& out, uint64_t offset, const char* data, size_t size) {
    while (size > 0) {
        size_t n = std::min(size, kWriteChunk);
        if (!out.writeAt(offset, data, n)) return false;
        offset += n;
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

DbfTable::DbfTable() = default;

DbfTable::~DbfTable() { close(); }

bool DbfTable::create(const fs::path& file, const Structure& fields, base::Date today) {
    std::string why;
    Structure layout = normalised(fields, why);
    if (layout.empty()) {
        base::ErrorRecord e = tableError(base::kErrCreate, kSubCreate, "Create error", file, "create");
        e.args = std::vector<base::Value>{why};
        e.canDefault = true;
        base::raiseError(e);
        return false;
    }
    std::vector<char> bytes = buildHeader(layout, today, 0);
    bytes.push_back(char(dbf::kEndOfFile));
    auto written = writeWholeFile(file, [&](BinaryFile& out) {
        return out.writeAt(0, bytes.data(), bytes.size());
    });
    return written != nullptr;
}

std::unique_ptr<DbfTable> DbfTable::open(const fs::path& file) {
    for (;;) {
        base::setNetErr(false);
        int os = 0;
        std::unique_ptr<BinaryFile> handle = BinaryFile::open(file, os);
        if (!handle) {
            if (askRetry(tableError(base::kErrOpen, kSubOpen, "Open error", file, "open", os))) continue;
            return nullptr;
        }
        uint64_t fileSize = 0;
        if (!handle->size(fileSize)) {
            if (askRetry(tableError(base::kErrRead, kSubOpen, "Read error", file, "open", handle->lastOsCode()))) continue;
            return nullptr;
        }
        auto table = std::unique_ptr<DbfTable>(new DbfTable());
        table->m_path = file;

        if (fileSize < uint64_t(dbf::kHeaderSize)) {
            reportCorruption(file, "Datei kuerzer als der Kopf");
            return nullptr;
        }
        char head[dbf::kHeaderSize];
        if (!handle->readAt(0, head, sizeof head)) {
            if (askRetry(tableError(base::kErrRead, kSubOpen, "Read error", file, "open", handle->lastOsCode()))) continue;
            return nullptr;
        }
        const uint8_t version = uint8_t(head[kOffVersion]);
        if (version != dbf::kVersionPlain && version != dbf::kVersionMemo && version != dbf::kVersionVisualFoxPro) {
            reportCorruption(file, "unbekannte Version");
            return nullptr;
        }
        const int headerLength = get16(head + kOffHeaderLength);
        if (headerLength < kMinHeaderLength || uint64_t(headerLength) > fileSize) {
            reportCorruption(file, "unzulaessige Kopflaenge");
            return nullptr;
        }
        table->m_header.resize(size_t(headerLength));
        if (!handle->readAt(0, table->m_header.data(), size_t(headerLength))) {
            if (askRetry(tableError(base::kErrRead, kSubOpen, "Read error", file, "open", handle->lastOsCode()))) continue;
            return nullptr;
        }
        std::string why;
        table->m_fields = parseDescriptors(table->m_header, why);
        if (table->m_fields.empty()) {
            reportCorruption(file, why);
            return nullptr;
        }
        table->m_headerLength = headerLength;
        table->m_recordLength = recordLengthOf(table->m_fields);
        // The stored record count is not trusted: a cut-off last record or the end byte is
        // simply not counted.
        const uint64_t records = (fileSize - uint64_t(headerLength)) / uint64_t(table->m_recordLength);
        if (records >= uint64_t(UINT32_MAX)) {
            reportCorruption(file, "zu viele Saetze");
            return nullptr;
        }
        table->m_file = std::move(handle);
        if (!table->mapRecords(uint32_t(records))) {
            if (askRetry(tableError(base::kErrRead, kSubOpen, "Read error", file, "open", table->m_file->lastOsCode()))) {
                continue;
            }
            return nullptr;
        }
        table->m_recordCount = uint32_t(records);
        // Counting the deleted records reads every record's flag once; the memory behind the
        // records read is given back as the count goes (the orders read them again anyway).
        // The logical fields' true values are counted in the same pass (the same pages).
        table->m_trueCounts.assign(table->m_fields.size(), 0);
        table->m_logicalFields.clear();
        for (size_t f = 0; f < table->m_fields.size(); ++f) {
            if (table->m_fields[f].type == FieldType::kLogical) table->m_logicalFields.push_back(int(f));
        }
        constexpr uint32_t kCountStep = 8192;
        uint32_t deleted = 0;
        for (uint32_t first = 1; first <= table->m_recordCount; first += kCountStep) {
            const uint32_t last = std::min(table->m_recordCount, first + (kCountStep - 1));
            const char* p = table->recordData(first);
            for (uint32_t r = first; r <= last; ++r, p += table->m_recordLength) {
                if (*p == dbf::kDeletedFlag) {
                    ++deleted;
                } else if (!table->m_logicalFields.empty()) {
                    table->tally(p, 1);
                }
            }
            table->releaseRecords(first, last);
        }
        table->m_deletedCount = deleted;
        table->m_blank.assign(size_t(table->m_recordLength), ' ');
        table->goTop();
        return table;
    }
}

void DbfTable::close() {
    if (!isOpen()) return;
    detachOrders();  // writes the current record and saves every order to its file
    writeBackUnsaved();
    truncatedUnder("close");
    if (m_appended) stampEnd(true);
    if (!m_file->close()) {
        base::ErrorRecord e = tableError(base::kErrClose, kSubWrite, "Close error", m_path, "close", m_file->lastOsCode());
        e.canDefault = true;
        base::raiseError(e);
    }
    m_file.reset();
    m_map.reset();
    m_mappedRecords = nullptr;
    m_mappedCount = 0;
    m_appendedRecords.reset();
    m_capacity = 0;
    m_recordCount = 0;
    m_deletedCount = 0;
    m_dirty = false;
    m_appendPending = false;
    m_appended = false;
    m_stampDue = false;
    m_unsaved.clear();
    m_recno = 1;
    m_eof = m_bof = true;
    m_found = false;
}

bool DbfTable::isOpen() const { return m_file && m_file->isOpen(); }

int DbfTable::fieldPos(std::string_view name) const { return fieldIndexOf(m_fields, name); }

const char* DbfTable::recordBytes(uint32_t recno) const {
    if (recno < 1 || recno > m_recordCount) return m_blank.data();
    return recordData(recno);
}

void DbfTable::releaseRecords(uint32_t first, uint32_t last) const {
    // Released pages read from the file again: only while the file holds every change.
    if (!m_map || m_mapStale || m_dirty || m_appendPending || !m_unsaved.empty() || !m_deferred.empty()) return;
    first = std::max<uint32_t>(first, 1);
    last = std::min(last, m_mappedCount);
    if (first > last) return;
    m_map->release(size_t(m_headerLength) + size_t(first - 1) * size_t(m_recordLength),
                   size_t(last - first + 1) * size_t(m_recordLength));
}

// ---- buffer and file -------------------------------------------------------------------------

// Maps the file's header and first count records: the records read from the file cache, not
// copied. Changes are made in this process's copy and written to the file separately.
bool DbfTable::mapRecords(uint32_t count) {
    int os = 0;
    auto map = platform::MappedFile::map(*m_file, uint64_t(m_headerLength) + uint64_t(count) * uint64_t(m_recordLength),
                                         os);
    if (!map) return false;
    m_map = std::move(map);
    m_mappedRecords = m_map->data() + m_headerLength;
    m_mappedCount = count;
    m_mapStale = false;
    m_appendedRecords.reset();
    m_capacity = 0;
    return true;
}

bool DbfTable::truncatedUnder(const char* operation) {
    if (!m_map || !m_map->truncated()) return false;
    if (!m_truncationTold) {
        m_truncationTold = true;
        base::ErrorRecord e = tableError(base::kErrCorruption, kSubCorruption, "Corruption detected", m_path, operation);
        e.args = std::vector<base::Value>{"Datei waehrend der Arbeit verkuerzt"};
        e.canDefault = true;
        base::raiseError(e);
    }
    return true;
}

// Room for the records beyond the mapped ones.
bool DbfTable::ensureCapacity(uint32_t records) {
    const size_t appended = records > m_mappedCount ? size_t(records - m_mappedCount) : 0;
    if (appended <= m_capacity && m_appendedRecords) return true;
    size_t want = std::max<size_t>(appended, 64);
    if (m_capacity > 0) want = std::max(want, m_capacity + m_capacity / 2);
    char* fresh = new (std::nothrow) char[want * size_t(m_recordLength)];
    if (!fresh) return false;
    if (m_appendedRecords && m_recordCount > m_mappedCount) {
        std::memcpy(fresh, m_appendedRecords.get(), size_t(m_recordCount - m_mappedCount) * size_t(m_recordLength));
    }
    m_appendedRecords.reset(fresh);
    m_capacity = want;
    return true;
}

uint64_t DbfTable::recordOffset(uint32_t recno) const {
    return uint64_t(m_headerLength) + uint64_t(recno - 1) * uint64_t(m_recordLength);
}

bool DbfTable::writeBytes(uint64_t offset, const char* bytes, size_t size) {
    while (!m_file->writeAt(offset, bytes, size)) {
        if (!askRetry(tableError(base::kErrWrite, kSubWrite, "Write error", m_path, "write", m_file->lastOsCode()))) {
            return false;
        }
    }
    return true;
}

bool DbfTable::writeRecord(uint32_t recno) {
    if (m_bulkDepth > 0) {
        m_deferred.push_back(recno);
        return true;
    }
    if (writeBytes(recordOffset(recno), recordData(recno), size_t(m_recordLength))) return true;
    // The record stays in memory and is written again at the next flush or close.
    if (std::find(m_unsaved.begin(), m_unsaved.end(), recno) == m_unsaved.end()) m_unsaved.push_back(recno);
    return false;
}

void DbfTable::beginBulkChange() { ++m_bulkDepth; }

void DbfTable::endBulkChange() {
    if (m_bulkDepth == 0) return;
    if (--m_bulkDepth > 0) return;
    commit();
    writeDeferred();
}

// The records changed in a bulk change, written in runs of neighbouring records: one write for
// a run instead of one per record. A run that fails is kept record by record for the next try.
void DbfTable::writeDeferred() {
    if (m_deferred.empty()) return;
    std::vector<uint32_t> records;
    records.swap(m_deferred);
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    size_t i = 0;
    while (i < records.size()) {
        size_t j = i + 1;
        while (j < records.size() && records[j] == records[j - 1] + 1) ++j;
        const uint32_t first = records[i];
        const uint32_t last = std::min<uint32_t>(records[j - 1], m_recordCount);
        if (first <= last &&
            !writeBytes(recordOffset(first), recordData(first), size_t(last - first + 1) * size_t(m_recordLength))) {
            for (size_t k = i; k < j; ++k) m_unsaved.push_back(records[k]);
        }
        i = j;
    }
}

bool DbfTable::writeBackUnsaved() {
    writeDeferred();
    std::sort(m_unsaved.begin(), m_unsaved.end());
    m_unsaved.erase(std::unique(m_unsaved.begin(), m_unsaved.end()), m_unsaved.end());
    while (!m_unsaved.empty()) {
        uint32_t recno = m_unsaved.front();
        if (recno <= m_recordCount &&
            !writeBytes(recordOffset(recno), recordData(recno), size_t(m_recordLength))) {
            return false;
        }
        m_unsaved.erase(m_unsaved.begin());
    }
    return true;
}

// The file ends with the end byte right after the last record written, and the header tells
// their count and today's date. Records at the end whose write failed are not on the file and
// are not counted. With truncate, whatever follows the end byte is cut off (close).
bool DbfTable::stampEnd(bool truncate) {
    uint32_t count = m_recordCount;
    while (count > 0 && std::find(m_unsaved.begin(), m_unsaved.end(), count) != m_unsaved.end()) --count;
    const uint64_t end = recordOffset(count + 1);
    const char eofByte = char(dbf::kEndOfFile);
    bool ok = writeBytes(end, &eofByte, 1);
    while (ok && truncate && !m_file->resize(end + 1)) {
        if (!askRetry(tableError(base::kErrWrite, kSubWrite, "Write error", m_path, "close", m_file->lastOsCode()))) {
            ok = false;
        }
    }
    if (ok) {
        headerStamp(count);
        ok = writeBytes(0, m_header.data(), size_t(dbf::kHeaderSize));
    }
    if (ok) m_stampDue = false;
    return ok;
}

void DbfTable::headerStamp(uint32_t count) {
    stampDate(m_header.data(), platform::clock().today());
    put32(&m_header[kOffRecordCount], count);
}

// ---- the current record ----------------------------------------------------------------------

void DbfTable::commit() {
    if (!m_dirty && !m_appendPending) return;
    const uint32_t recno = m_recno;
    const bool changed = m_dirty;
    m_dirty = false;
    m_appendPending = false;
    if (recno < 1 || recno > m_recordCount) return;
    if (changed && !m_logicalFields.empty()) {
        tally(m_preImage.data(), -1);
        tally(recordData(recno), 1);
    }
    writeRecord(recno);
    if (changed) {
        for (auto& o : m_orders) {
            if (o) o->recordChanged(recno, m_preImage.data());
        }
    }
}

bool DbfTable::flush() {
    if (!isOpen()) return true;
    const size_t unsavedBefore = m_unsaved.size();
    commit();
    // A record whose write has just failed is not asked about twice; the next flush tries again.
    bool ok = m_unsaved.size() == unsavedBefore && writeBackUnsaved();
    if (ok && m_stampDue) ok = stampEnd(false);
    if (truncatedUnder("flush")) ok = false;
    return ok;
}

bool DbfTable::writeCurrent() {
    if (!isOpen()) return true;
    const uint32_t recno = m_recno;
    commit();
    return std::find(m_unsaved.begin(), m_unsaved.end(), recno) == m_unsaved.end();
}

void DbfTable::markChanged() {
    if (m_dirty) return;
    const char* bytes = recordData(m_recno);
    m_preImage.assign(bytes, bytes + m_recordLength);
    m_dirty = true;
}

bool DbfTable::checkField(int field, const char* operation) const {
    if (field >= 0 && field < int(m_fields.size())) return true;
    base::ErrorRecord e = tableError(base::kErrArgument, kSubArgument, "Argument error", m_path, operation);
    e.args = std::vector<base::Value>{base::Value::ofNumber(field)};
    e.canDefault = true;
    base::raiseError(e);
    return false;
}

const FieldDef* DbfTable::writableField(int field, const char* operation) {
    if (!isOpen() || !checkField(field, operation)) return nullptr;
    // At end of file there is no record to write into.
    if (m_recno < 1 || m_recno > m_recordCount) return nullptr;
    markChanged();
    ++m_changeCount;
    return &m_fields[size_t(field)];
}

std::string_view DbfTable::raw(int field) const {
    if (!checkField(field, "fieldget")) return {};
    return current().raw(field);
}

std::string DbfTable::getC(int field) const { return std::string(raw(field)); }

double DbfTable::getN(int field) const { return codec::decodeNumeric(raw(field)); }

base::Date DbfTable::getD(int field) const { return codec::decodeDate(raw(field)); }

bool DbfTable::getL(int field) const { return codec::decodeLogical(raw(field)); }

void DbfTable::putC(int field, std::string_view text) {
    const FieldDef* f = writableField(field, "fieldput");
    if (!f) return;
    codec::encodeCharacter(text, recordData(m_recno) + f->offset, f->width);
}

void DbfTable::putN(int field, double value) {
    const FieldDef* f = writableField(field, "fieldput");
    if (!f) return;
    if (!codec::encodeNumeric(value, f->width, f->decimals, recordData(m_recno) + f->offset)) {
        // The field now holds "*"; the handler decides whether the program goes on.
        base::ErrorRecord e = tableError(base::kErrDataWidth, kSubDataWidth, "Data width error", m_path, "fieldput");
        e.args = std::vector<base::Value>{f->name, base::Value::ofNumber(value, f->decimals)};
        e.canDefault = true;
        base::raiseError(e);
    }
}

void DbfTable::putD(int field, base::Date date) {
    const FieldDef* f = writableField(field, "fieldput");
    if (!f) return;
    codec::encodeDate(date, recordData(m_recno) + f->offset);
}

void DbfTable::putL(int field, bool value) {
    const FieldDef* f = writableField(field, "fieldput");
    if (!f) return;
    codec::encodeLogical(value, recordData(m_recno) + f->offset);
}

bool DbfTable::isDeleted() const { return recordBytes(m_recno)[0] == dbf::kDeletedFlag; }

void DbfTable::deleteRecord() {
    if (!isOpen() || m_recno < 1 || m_recno > m_recordCount || isDeleted()) return;
    markChanged();
    ++m_changeCount;
    recordData(m_recno)[0] = dbf::kDeletedFlag;
    ++m_deletedCount;
}

void DbfTable::recall() {
    if (!isOpen() || m_recno < 1 || m_recno > m_recordCount || !isDeleted()) return;
    markChanged();
    ++m_changeCount;
    recordData(m_recno)[0] = dbf::kValidFlag;
    --m_deletedCount;
}

void DbfTable::appendRecord(const char* bytes) {
    std::memcpy(recordData(m_recordCount + 1), bytes, size_t(m_recordLength));
    ++m_recordCount;
    ++m_changeCount;
    m_appended = true;
    m_stampDue = true;
    if (bytes[0] == dbf::kDeletedFlag) ++m_deletedCount;
    tally(bytes, 1);
}

void DbfTable::tally(const char* bytes, int sign) {
    if (bytes[0] == dbf::kDeletedFlag) return;
    for (int f : m_logicalFields) {
        const char c = bytes[m_fields[size_t(f)].offset];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y') m_trueCounts[size_t(f)] += sign;
    }
}

std::optional<long long> DbfTable::trueCount(int field) const {
    if (!isOpen() || field < 0 || field >= int(m_fields.size()) || m_fields[size_t(field)].type != FieldType::kLogical) {
        return std::nullopt;
    }
    long long n = m_trueCounts[size_t(field)];
    if (m_dirty && m_recno >= 1 && m_recno <= m_recordCount) {
        // The pending change counts already: the record as it was comes out, as it is goes in.
        const char* now = recordData(m_recno);
        const char* before = m_preImage.data();
        const size_t at = size_t(m_fields[size_t(field)].offset);
        auto counted = [at](const char* b) {
            const char c = b[at];
            return b[0] != dbf::kDeletedFlag && (c == 'T' || c == 't' || c == 'Y' || c == 'y');
        };
        n += (counted(now) ? 1 : 0) - (counted(before) ? 1 : 0);
    }
    return n;
}

void DbfTable::appendBlank() {
    if (!isOpen()) return;
    commit();
    if (!appendIndexed(m_blank.data())) return;
    m_appendPending = true;
}

bool DbfTable::appendIndexed(const char* bytes) {
    if (m_recordCount == UINT32_MAX - 1 || !ensureCapacity(m_recordCount + 1)) {
        base::ErrorRecord e = tableError(base::kErrMemory, kSubMemory, "Not enough memory", m_path, "append");
        e.canDefault = true;
        base::raiseError(e);
        return false;
    }
    appendRecord(bytes);
    setPosition(m_recordCount);
    for (auto& o : m_orders) {
        if (o) o->recordAppended(m_recordCount);
    }
    return true;
}

// ---- movement --------------------------------------------------------------------------------

void DbfTable::setPosition(uint32_t recno) {
    m_recno = recno;
    m_eof = false;
    m_bof = false;
    m_found = false;
}

void DbfTable::setEof(bool bof) {
    m_recno = m_recordCount + 1;
    m_eof = true;
    m_bof = bof;
    m_found = false;
    m_cacheValid = false;
}

bool DbfTable::visibleInView(uint32_t recno) const {
    if (recno < 1 || recno > m_recordCount) return false;
    if (recordBytes(recno)[0] == dbf::kDeletedFlag) return false;
    Order* o = currentOrder();
    return !o || o->positionOf(recno).has_value();
}

void DbfTable::goTo(uint32_t recno) {
    if (!isOpen()) return;
    commit();
    if (recno < 1 || recno > m_recordCount) {
        setEof(false);
        return;
    }
    setPosition(recno);
    m_cacheValid = false;
}

void DbfTable::goTop() {
    if (!isOpen()) return;
    commit();
    if (Order* o = currentOrder()) {
        if (o->size() == 0) return setEof(true);
        setPosition(o->recnoAt(0));
        m_cachedSlot = 0;
        m_cacheValid = true;
        return;
    }
    goNatural(0, 1);
    if (m_eof) m_bof = true;
}

void DbfTable::goBottom() {
    if (!isOpen()) return;
    commit();
    if (Order* o = currentOrder()) {
        if (o->size() == 0) return setEof(true);
        m_cachedSlot = o->size() - 1;
        setPosition(o->recnoAt(m_cachedSlot));
        m_cacheValid = true;
        return;
    }
    goNatural(m_recordCount + 1, -1);
}

// Walks |steps| visible records from the record before (steps < 0) or after from in record
// order. Past the end: end of file; before the first: bof on the first visible record.
void DbfTable::goNatural(uint32_t from, long steps) {
    m_cacheValid = false;
    auto visible = [&](uint32_t r) { return recordData(r)[0] != dbf::kDeletedFlag; };
    if (steps > 0) {
        uint32_t r = from;
        while (steps > 0) {
            ++r;
            while (r <= m_recordCount && !visible(r)) ++r;
            if (r > m_recordCount) return setEof(false);
            --steps;
        }
        setPosition(r);
        return;
    }
    uint32_t r = from;
    uint32_t last = 0;
    while (steps < 0) {
        if (r == 0) break;
        --r;
        while (r >= 1 && !visible(r)) --r;
        if (r == 0) break;
        last = r;
        ++steps;
    }
    if (steps == 0) {
        setPosition(last);
        return;
    }
    // Ran off the top: stay on the first visible record with bof set.
    uint32_t first = 1;
    while (first <= m_recordCount && !visible(first)) ++first;
    if (first > m_recordCount) return setEof(true);
    setPosition(first);
    m_bof = true;
}

size_t DbfTable::orderSlot(Order& order, bool& present) {
    present = true;
    if (m_cacheValid && m_cachedSlot < order.size() && order.recnoAt(m_cachedSlot) == m_recno) return m_cachedSlot;
    if (std::optional<size_t> pos = order.positionOf(m_recno)) {
        m_cachedSlot = *pos;
        m_cacheValid = true;
        return *pos;
    }
    // The record has no entry (deleted, or its condition is false): find where its key would
    // stand, behind the equal keys of lower record numbers.
    present = false;
    m_cacheValid = false;
    const std::string key = order.keyOf(view(m_recno));
    bool found = false;
    size_t pos = order.seek(key, found);
    while (pos < order.size()) {
        uint32_t r = order.recnoAt(pos);
        if (r > m_recno || order.keyOf(view(r)) != key) break;
        ++pos;
    }
    return pos;
}

void DbfTable::skip(long n) {
    if (!isOpen()) return;
    commit();
    if (n == 0) return;
    Order* o = currentOrder();
    if (!o) {
        if (m_eof && n > 0) return setEof(false);
        goNatural(m_eof ? m_recordCount + 1 : m_recno, n);
        return;
    }
    const size_t size = o->size();
    long long target;
    if (m_eof) {
        if (n > 0) return setEof(false);
        target = (long long)size + n;
    } else {
        bool present = false;
        size_t slot = orderSlot(*o, present);
        // An absent record stands between slot - 1 and slot.
        target = present ? (long long)slot + n : (n > 0 ? (long long)slot + n - 1 : (long long)slot + n);
    }
    if (target >= (long long)size) return setEof(false);
    if (target < 0) {
        if (size == 0) return setEof(true);
        setPosition(o->recnoAt(0));
        m_bof = true;
        m_cachedSlot = 0;
        m_cacheValid = true;
        return;
    }
    setPosition(o->recnoAt(size_t(target)));
    m_cachedSlot = size_t(target);
    m_cacheValid = true;
}

// ---- whole-table operations ------------------------------------------------------------------

uint32_t DbfTable::count() { return keyCount(); }

void DbfTable::pack() {
    if (!isOpen()) return;
    commit();
    if (!writeBackUnsaved()) return;
    const size_t len = size_t(m_recordLength);
    const uint32_t kept = m_recordCount - m_deletedCount;
    std::vector<char> header = m_header;
    stampDate(header.data(), platform::clock().today());
    put32(&header[kOffRecordCount], kept);
    // The packed table is written as a new file and renamed over the old one: a failure leaves
    // the old file as it was.
    auto fresh = writeWholeFile(m_path, [&](BinaryFile& out) {
        if (!out.writeAt(0, header.data(), header.size())) return false;
        std::vector<char> chunk;
        chunk.reserve(kWriteChunk + len);
        uint64_t offset = header.size();
        for (uint32_t r = 1; r <= m_recordCount; ++r) {
            const char* rec = recordData(r);
            if (rec[0] == dbf::kDeletedFlag) continue;
            chunk.insert(chunk.end(), rec, rec + len);
            if (chunk.size() >= kWriteChunk) {
                if (!out.writeAt(offset, chunk.data(), chunk.size())) return false;
                offset += chunk.size();
                chunk.clear();
            }
        }
        chunk.push_back(char(dbf::kEndOfFile));
        return out.writeAt(offset, chunk.data(), chunk.size());
    }, true);
    if (!fresh) return;
    // The new file holds exactly the kept records: they are mapped from it. Should that fail,
    // they move together in memory instead.
    std::unique_ptr<BinaryFile> old = std::move(m_file);
    m_file = std::move(fresh);
    m_header = std::move(header);
    if (!mapRecords(kept)) {
        m_mapStale = true;
        uint32_t to = 1;
        for (uint32_t r = 1; r <= m_recordCount; ++r) {
            const char* rec = recordData(r);
            if (rec[0] == dbf::kDeletedFlag) continue;
            if (to != r) std::memmove(recordData(to), rec, len);
            ++to;
        }
    }
    old.reset();
    m_recordCount = kept;
    m_deletedCount = 0;
    ++m_changeCount;
    // The file is already complete; close has nothing left to stamp.
    m_appended = false;
    m_stampDue = false;
    m_unsaved.clear();
    for (size_t i = 0; i < m_orders.size(); ++i) {
        if (!m_orders[i]) continue;
        fs::path file = m_orders[i]->file();
        OrderOptions options = m_orders[i]->options();
        m_orders[i].reset();
        m_orders[i] = Order::build(*this, file, m_orderKeys[i], options);
    }
    m_cacheValid = false;
    goTop();
}

bool DbfTable::copyTo(const fs::path& target) {
    if (!isOpen()) return false;
    commit();
    // Visible records in the current order.
    std::vector<uint32_t> recnos;
    if (Order* o = currentOrder()) {
        recnos.reserve(o->size());
        for (size_t i = 0; i < o->size(); ++i) recnos.push_back(o->recnoAt(i));
    } else {
        recnos.reserve(m_recordCount - m_deletedCount);
        for (uint32_t r = 1; r <= m_recordCount; ++r) {
            if (recordData(r)[0] != dbf::kDeletedFlag) recnos.push_back(r);
        }
    }
    const size_t len = size_t(m_recordLength);
    std::vector<char> header = buildHeader(m_fields, platform::clock().today(), uint32_t(recnos.size()));
    auto written = writeWholeFile(target, [&](BinaryFile& out) {
        if (!out.writeAt(0, header.data(), header.size())) return false;
        std::vector<char> chunk;
        chunk.reserve(kWriteChunk + len);
        uint64_t offset = header.size();
        for (uint32_t r : recnos) {
            const char* rec = recordData(r);
            chunk.insert(chunk.end(), rec, rec + len);
            if (chunk.size() >= kWriteChunk) {
                if (!writeChunked(out, offset, chunk.data(), chunk.size())) return false;
                offset += chunk.size();
                chunk.clear();
            }
        }
        chunk.push_back(char(dbf::kEndOfFile));
        return writeChunked(out, offset, chunk.data(), chunk.size());
    });
    return written != nullptr;
}

uint32_t DbfTable::appendFrom(DbfTable& source) { return appendFrom(source, nullptr); }

uint32_t DbfTable::appendFrom(DbfTable& source, const std::function<bool(const RecordView&)>& condition) {
    if (!isOpen() || !source.isOpen()) return 0;
    source.commit();
    commit();
    struct Pair {
        int from;
        int to;
    };
    std::vector<Pair> pairs;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        int from = source.fieldPos(m_fields[i].name);
        if (from >= 0) pairs.push_back({from, int(i)});
    }
    // Only the records present now: appending a table to itself must not chase its own tail.
    const uint32_t sourceCount = source.m_recordCount;
    std::vector<char> rec(static_cast<size_t>(m_recordLength), ' ');
    uint32_t appended = 0;
    for (uint32_t r = 1; r <= sourceCount; ++r) {
        const char* src = source.recordBytes(r);
        if (src[0] == dbf::kDeletedFlag) continue;
        if (condition && !condition(RecordView(source.m_fields, src))) continue;
        std::fill(rec.begin(), rec.end(), ' ');
        for (const Pair& p : pairs) {
            const FieldDef& from = source.m_fields[size_t(p.from)];
            const FieldDef& to = m_fields[size_t(p.to)];
            std::string_view raw(src + from.offset, size_t(from.width));
            if (!codec::convertField(raw, from, to, rec.data() + to.offset)) {
                base::ErrorRecord e = tableError(base::kErrDataWidth, kSubDataWidth, "Data width error", m_path, "append");
                e.args = std::vector<base::Value>{to.name, std::string(base::trim(raw))};
                e.canDefault = true;
                base::raiseError(e);
            }
        }
        if (!appendIndexed(rec.data())) break;
        writeRecord(m_recordCount);
        ++appended;
    }
    m_cacheValid = false;
    return appended;
}

// ---- orders ----------------------------------------------------------------------------------

std::vector<Order*> DbfTable::orderPointers() const {
    std::vector<Order*> out;
    for (const auto& o : m_orders) out.push_back(o.get());
    return out;
}

Order* DbfTable::order(int position) const {
    if (position < 1 || position > int(m_orders.size())) return nullptr;
    return m_orders[size_t(position - 1)].get();
}

Order* DbfTable::currentOrder() const { return order(m_currentOrder); }

Order* DbfTable::createOrder(const fs::path& file, KeySpec key, OrderOptions options) {
    if (!isOpen()) return nullptr;
    detachOrders();
    return addOrder(file, std::move(key), std::move(options));
}

Order* DbfTable::addOrder(const fs::path& file, KeySpec key, OrderOptions options) {
    if (!isOpen()) return nullptr;
    commit();
    std::unique_ptr<Order> built = Order::build(*this, file, key, std::move(options));
    // Keys read from pages the file no longer holds would be zero bytes: no order from them.
    if (truncatedUnder("index")) return nullptr;
    return keepOrder(std::move(built), std::move(key));
}

Order* DbfTable::attachOrder(const fs::path& file, KeySpec key, OrderOptions options) {
    if (!isOpen()) return nullptr;
    commit();
    std::unique_ptr<Order> loaded = Order::load(*this, file, key, std::move(options));
    if (truncatedUnder("index")) return nullptr;
    return keepOrder(std::move(loaded), std::move(key));
}

// An order joins the attached ones; it becomes current when none is.
Order* DbfTable::keepOrder(std::unique_ptr<Order> order, KeySpec key) {
    if (!order) return nullptr;
    m_orders.push_back(std::move(order));
    m_orderKeys.push_back(std::move(key));
    if (m_currentOrder == 0) {
        m_currentOrder = int(m_orders.size());
        m_cacheValid = false;
    }
    return m_orders.back().get();
}

void DbfTable::detachOrders() {
    commit();
    for (auto& o : m_orders) {
        if (o) o->save();
    }
    m_orders.clear();
    m_orderKeys.clear();
    m_currentOrder = 0;
    m_cacheValid = false;
}

bool DbfTable::detachOrder(int position, bool saveFile) {
    if (position < 1 || position > int(m_orders.size())) return false;
    commit();
    if (saveFile && m_orders[size_t(position - 1)]) m_orders[size_t(position - 1)]->save();
    m_orders.erase(m_orders.begin() + (position - 1));
    m_orderKeys.erase(m_orderKeys.begin() + (position - 1));
    if (m_currentOrder == position) {
        m_currentOrder = 0;
    } else if (m_currentOrder > position) {
        --m_currentOrder;
    }
    m_cacheValid = false;
    return true;
}

bool DbfTable::setOrder(int position) {
    if (position < 0 || position > int(m_orders.size())) return false;
    if (position == 0 || m_orders[size_t(position - 1)]) {
        commit();
        m_currentOrder = position;
        m_cacheValid = false;
        return true;
    }
    return false;
}

bool DbfTable::setOrder(std::string_view name) {
    const std::string wanted = base::upperAZ(base::trim(name));
    for (size_t i = 0; i < m_orders.size(); ++i) {
        if (m_orders[i] && base::upperAZ(m_orders[i]->name()) == wanted) return setOrder(int(i + 1));
    }
    return false;
}

bool DbfTable::seek(std::string_view key, bool softSeek) {
    if (!isOpen()) return false;
    commit();
    Order* o = currentOrder();
    if (!o) {
        base::ErrorRecord e = tableError(base::kErrNoOrder, kSubNoOrder, "No order", m_path, "seek");
        e.canDefault = true;
        base::raiseError(e);
        m_found = false;
        return false;
    }
    bool found = false;
    size_t pos = o->seek(key, found);
    if (pos < o->size() && (found || softSeek)) {
        setPosition(o->recnoAt(pos));
        m_cachedSlot = pos;
        m_cacheValid = true;
    } else {
        setEof(false);
    }
    m_found = found;
    return found;
}

uint32_t DbfTable::keyNo() {
    if (!isOpen()) return 0;
    commit();
    if (m_eof || m_recno < 1 || m_recno > m_recordCount) return 0;
    if (Order* o = currentOrder()) {
        bool present = false;
        size_t slot = orderSlot(*o, present);
        return present ? uint32_t(slot + 1) : 0;
    }
    if (isDeleted()) return 0;
    if (m_deletedCount == 0) return m_recno;
    uint32_t n = 0;
    for (uint32_t r = 1; r <= m_recno; ++r) {
        if (recordData(r)[0] != dbf::kDeletedFlag) ++n;
    }
    return n;
}

uint32_t DbfTable::keyCount() {
    if (!isOpen()) return 0;
    commit();
    if (Order* o = currentOrder()) return uint32_t(o->size());
    return m_recordCount - m_deletedCount;
}

}  // namespace klango::dbf

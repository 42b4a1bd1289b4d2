// One open dBase III table file (.dbf), opened exclusively. The table holds its records in
// memory (the file's records mapped privately at open, appended ones in a buffer of its own;
// written through to the file when the record pointer leaves a changed record, on flush and on
// close) and the index orders attached to it. Records flagged as
// deleted are invisible to movement, counting, copying and indexing.
// Failures go to the installed error handler (base/error.h); callers see a failed result.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "dbf/dbf_structure.h"
#include "dbf/order_spec.h"
#include "dbf/record_view.h"

namespace klango::platform {
class BinaryFile;
class MappedFile;
}

namespace klango::dbf {

class Order;

// Byte layout of the file header and descriptors.
namespace dbf {
constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;
constexpr uint8_t kVersionPlain = 0x03;
constexpr uint8_t kVersionMemo = 0x83;
constexpr uint8_t kVersionVisualFoxPro = 0xF5;
constexpr uint8_t kDescriptorEnd = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr char kValidFlag = ' ';
constexpr char kDeletedFlag = '*';
constexpr int kMaxNumericWidth = 20;
}  // namespace dbf

class DbfTable {
public:
    // Writes a new, empty table (header, descriptors, 0x0D, 0x00, 0x1A), replacing a file of the
    // same name. Returns false when the file could not be written (after the error handler).
    static bool create(const std::filesystem::path& file, const Structure& fields, base::Date today);
    // Opens exclusively. nullptr when the file is missing, locked by another opener (sharing error,
    // network-error flag), or corrupt; each goes to the error handler first.
    static std::unique_ptr<DbfTable> open(const std::filesystem::path& file);

    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // Writes back a changed record; after appends rewrites the header (count, today) and ends the
    // file with 0x1A right after the last record. Attached orders are saved to their files.
    void close();
    bool isOpen() const;
    const std::filesystem::path& path() const { return m_path; }

    // Structure.
    const Structure& structure() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    int recordLength() const { return m_recordLength; }
    int fieldPos(std::string_view name) const;  // 0-based, -1 when unknown

    // Physical records, deleted ones included.
    uint32_t lastRec() const { return m_recordCount; }
    // Bytes of a record as committed (the current record's pending changes included).
    const char* recordBytes(uint32_t recno) const;
    RecordView view(uint32_t recno) const { return {m_fields, recordBytes(recno)}; }
    // A hint after reading records first..last in record order: the memory behind them may be
    // given back while every change is in the file (it is read again when needed). Bytes handed
    // out stay valid and read the same.
    void releaseRecords(uint32_t first, uint32_t last) const;

    // Position: records are numbered from 1; at end of file recNo() is lastRec() + 1.
    uint32_t recNo() const { return m_recno; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool found() const { return m_found; }
    void goTo(uint32_t recno);  // any record, visible or not
    // In the current order, visible records only.
    void goTop();
    void goBottom();
    void skip(long n = 1);

    // Fields of the current record.
    RecordView current() const { return view(m_recno); }
    std::string_view raw(int field) const;
    std::string getC(int field) const;  // as stored, with its blanks
    double getN(int field) const;
    base::Date getD(int field) const;
    bool getL(int field) const;
    void putC(int field, std::string_view text);  // cut or padded to the width
    void putN(int field, double value);           // too wide: "*" filled, data-width error
    void putD(int field, base::Date date);
    void putL(int field, bool value);
    bool isDeleted() const;
    void deleteRecord();
    void recall();

    // Appends an all-blank record and makes it current.
    void appendBlank();
    // Writes a changed current record to the file and brings the orders up to date; records whose
    // write failed before are tried again. After appends the header then tells the count and the
    // end byte follows the last record, so that a reader of the file (or what a killed program
    // leaves) sees every record written so far. Appending many records, flush now and then rather
    // than after each. False when something could not be written (the handler was told).
    bool flush();
    // Writes a changed current record to the file now and brings the orders up to date, without
    // the header. False when its write failed (it stays for the next flush or close).
    bool writeCurrent();

    // A bulk change (marking every record, deleting many): record writes are collected and
    // written in runs of neighbouring records when the outermost change ends (or at flush and
    // close), instead of one write per record. The records in memory and the orders follow at
    // once as always. BulkChange does it for a scope.
    void beginBulkChange();
    void endBulkChange();
    class BulkChange {
    public:
        explicit BulkChange(DbfTable& table) : m_table(table) { m_table.beginBulkChange(); }
        ~BulkChange() { m_table.endBulkChange(); }
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

    private:
        DbfTable& m_table;
    };

    // Visible records, in the current order's view (a condition hides records too).
    uint32_t count();
    // Records not deleted whose logical field holds true ("T", "t", "Y", "y"), the current
    // record's pending change included. Kept up to date as records change, so that a count of
    // marks never reads the whole table again; nullopt for a field that is not logical.
    std::optional<long long> trueCount(int field) const;
    // Grows with every change to the records (a field written, a deletion flag, an append, a
    // pack): a figure a caller worked out from the records holds while this stays the same.
    uint64_t changeCount() const { return m_changeCount; }
    // Removes the deleted records and truncates the file; orders are rebuilt.
    void pack();
    // A new table of the same structure holding the visible records in the current order.
    bool copyTo(const std::filesystem::path& target);
    // Appends every visible record of source, carrying fields of the same name. Returns the count.
    uint32_t appendFrom(DbfTable& source);
    // The same for the visible records of source that meet condition (all when it is empty).
    uint32_t appendFrom(DbfTable& source, const std::function<bool(const RecordView&)>& condition);

    // Orders. Positions count from 1 in attach order; 0 is the natural (record) order.
    // Builds an order over the visible records into its file, detaches all others, makes it current.
    Order* createOrder(const std::filesystem::path& file, KeySpec key, OrderOptions options = {});
    // Builds an order into its file beside the attached ones; it becomes current when no order is.
    Order* addOrder(const std::filesystem::path& file, KeySpec key, OrderOptions options = {});
    // Attaches the order kept in file (rebuilt when its header does not match key and options).
    // It becomes current when no order was current.
    Order* attachOrder(const std::filesystem::path& file, KeySpec key, OrderOptions options = {});
    void detachOrders();
    // Detaches the order at position (from 1), its file saved unless the caller drops the file
    // anyway (saveFile false); the orders behind it move up one and the current one stays current
    // (none when it was the detached one). False when out of range.
    bool detachOrder(int position, bool saveFile = true);
    int orderCount() const { return int(m_orders.size()); }
    int orderNumber() const { return m_currentOrder; }
    Order* currentOrder() const;
    Order* order(int position) const;
    bool setOrder(int position);          // false (unchanged) when out of range
    bool setOrder(std::string_view name);  // false (unchanged) when no attached order has it
    // Looks up a key prefix in the current order: found() tells whether a key begins with it.
    // Without a hit the pointer goes past the end, or with softSeek to the next greater key.
    bool seek(std::string_view key, bool softSeek = false);
    // Logical position of the current record in the current order (first key = 1), 0 at eof.
    uint32_t keyNo();
    uint32_t keyCount();

private:
    DbfTable();
    void commit();
    void setPosition(uint32_t recno);
    void setEof(bool bof);
    void markChanged();
    bool visibleInView(uint32_t recno) const;
    // Adds (sign 1) or takes away (-1) a record's part in the counts of true logical fields.
    void tally(const char* bytes, int sign);
    std::vector<Order*> orderPointers() const;

    char* recordData(uint32_t recno) const {
        return recno <= m_mappedCount ? m_mappedRecords + size_t(recno - 1) * size_t(m_recordLength)
                                      : m_appendedRecords.get() + size_t(recno - m_mappedCount - 1) * size_t(m_recordLength);
    }
    bool mapRecords(uint32_t count);
    // Has the file been cut shorter under the mapped records? Told to the handler once.
    bool truncatedUnder(const char* operation);
    const FieldDef* writableField(int field, const char* operation);
    bool checkField(int field, const char* operation) const;
    uint64_t recordOffset(uint32_t recno) const;
    bool writeBytes(uint64_t offset, const char* bytes, size_t size);
    bool writeRecord(uint32_t recno);
    bool writeBackUnsaved();
    void writeDeferred();
    Order* keepOrder(std::unique_ptr<Order> order, KeySpec key);
    bool ensureCapacity(uint32_t records);
    void appendRecord(const char* bytes);
    // Appends bytes as the new current record and tells the orders; false (handler told) when
    // there is no room for it.
    bool appendIndexed(const char* bytes);
    bool stampEnd(bool truncate);
    void headerStamp(uint32_t count);
    // Position of the current record in the current order, or where it would stand there.
    size_t orderSlot(Order& order, bool& present);
    void goNatural(uint32_t from, long steps);

    std::filesystem::path m_path;
    std::unique_ptr<platform::BinaryFile> m_file;
    Structure m_fields;
    int m_headerLength = 0;
    int m_recordLength = 0;
    uint32_t m_recordCount = 0;
    std::vector<char> m_header;  // header and descriptors as read, rewritten on close after appends
    // The file's first m_mappedCount records, mapped at open (header included); the records
    // appended since live in m_appendedRecords, with room for m_capacity of them.
    std::unique_ptr<platform::MappedFile> m_map;
    char* m_mappedRecords = nullptr;
    uint32_t m_mappedCount = 0;
    std::unique_ptr<char[]> m_appendedRecords;
    size_t m_capacity = 0;
    bool m_mapStale = false;  // the mapped file was replaced (pack) and no longer holds the records
    bool m_truncationTold = false;
    std::vector<char> m_blank;  // the all-blank record shown at end of file
    uint32_t m_deletedCount = 0;
    uint64_t m_changeCount = 0;
    std::vector<int> m_logicalFields;     // indices of the logical fields
    std::vector<long long> m_trueCounts;  // per field; committed records (the current one as before its change)
    uint32_t m_recno = 1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_found = false;
    bool m_dirty = false;          // current record changed since it became current
    std::vector<char> m_preImage;  // the current record as committed before the change
    bool m_appendPending = false;  // current record appended and not yet written
    bool m_appended = false;       // records appended since open
    bool m_stampDue = false;       // records appended since the header was last written
    std::vector<uint32_t> m_unsaved;  // records whose write failed; tried again on flush and close
    std::vector<uint32_t> m_deferred;  // records changed in a bulk change, not yet written
    int m_bulkDepth = 0;
    std::vector<std::unique_ptr<Order>> m_orders;
    std::vector<KeySpec> m_orderKeys;  // the key of each attached order, kept for rebuilding
    int m_currentOrder = 0;
    size_t m_cachedSlot = 0;  // last known position of the current record in the current order
    bool m_cacheValid = false;
};

}  // namespace klango::dbf

// One index order of an open table: the visible records (not deleted, condition true) sorted by
// their key, equal keys in record-number order. Keys are held compactly (a fixed key prefix plus
// the record number, the full key built from the record on ties), so that six orders over a
// million tracks stay small. The order lives in its index file, from which it can be attached
// again; the file names the key expression and condition so that a mismatch forces a rebuild.
// Only DbfTable creates orders and tells them about changed records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dbf/order_spec.h"

namespace klango::dbf {

class DbfTable;

class Order {
public:
    // Builds over the table's visible records and writes the file. Both return nullptr (after
    // telling the error handler) for a key they cannot use: no build function, or compiled for a
    // record layout that does not fit the table.
    static std::unique_ptr<Order> build(const DbfTable& table, const std::filesystem::path& file,
                                        KeySpec key, OrderOptions options);
    // Reads the file; when it is missing, damaged or made for another key, condition, flag set or
    // table size, builds anew instead (and rewrites the file).
    static std::unique_ptr<Order> load(const DbfTable& table, const std::filesystem::path& file,
                                       KeySpec key, OrderOptions options);
    ~Order();

    const std::string& name() const;
    const std::string& expression() const;
    const std::filesystem::path& file() const;
    const OrderOptions& options() const;

    // Number of keys.
    size_t size() const;
    // Record number at a 0-based position.
    uint32_t recnoAt(size_t position) const;
    // 0-based position of a record's entry, or nullopt when the record has none.
    std::optional<size_t> positionOf(uint32_t recno) const;
    // First position whose key, cut to the length of prefix, is not below prefix (in the order's
    // direction); found tells whether that key begins with prefix.
    size_t seek(std::string_view prefix, bool& found) const;
    // The full key of a record as this order computes it.
    std::string keyOf(const RecordView& record) const;

    // Maintenance by the table: a record was appended, or changed from oldBytes to its current bytes
    // (a deletion flag counts as a change: deleted records have no entry).
    void recordAppended(uint32_t recno);
    void recordChanged(uint32_t recno, const char* oldBytes);
    // Writes the file when entries changed since the last write.
    void save();

private:
    struct Impl;
    explicit Order(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace klango::dbf

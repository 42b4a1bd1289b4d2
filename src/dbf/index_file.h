// The index file of one order: a header naming what the order was made from (key expression,
// condition, flags, key width, the table's record count) and the record numbers in key order.
// Keys are not stored; they come from the table. Only Order reads and writes these files; the
// layout is written up in docs/formats/index_file.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klango::dbf {

namespace ntx {
constexpr char kMagic[8] = {'K', 'l', 'a', 'n', 'g', 'o', 'I', 'x'};
constexpr uint32_t kVersion = 1;
constexpr size_t kFixedHeaderSize = 48;
// Offsets in the fixed header.
constexpr size_t kOffVersion = 8;
constexpr size_t kOffChecksum = 12;
constexpr size_t kOffFileSize = 16;
constexpr size_t kOffFlags = 20;
constexpr size_t kOffKeyWidth = 24;
constexpr size_t kOffRecordCount = 28;
constexpr size_t kOffEntryCount = 32;
constexpr size_t kOffShadowCount = 36;
constexpr size_t kOffExpressionLength = 40;
constexpr size_t kOffConditionLength = 42;
constexpr size_t kOffNameLength = 44;
constexpr size_t kChecksumStart = 16;  // the checksum covers every byte from here to the end
// Flag bits.
constexpr uint32_t kFlagUnique = 1;
constexpr uint32_t kFlagDescending = 2;
constexpr uint32_t kFlagCondition = 4;
constexpr uint32_t kFlagGerman = 8;  // upper() terms in the German sort form
constexpr uint32_t kKnownFlags = kFlagUnique | kFlagDescending | kFlagCondition | kFlagGerman;
constexpr size_t kMaxText = 0xFFFF;
}  // namespace ntx

struct IndexFileContents {
    std::string expression;
    std::string condition;  // empty when the order has none
    std::string name;
    uint32_t flags = 0;
    uint32_t keyWidth = 0;     // 0: keys of varying length (a hand-made key function)
    uint32_t recordCount = 0;  // of the table, deleted records included
    std::vector<uint32_t> entries;  // the order's record numbers, in key order
    // Unique orders only: the visible records hidden behind an earlier record of the same key, in
    // key order, so that one of them can take over when that earlier record leaves.
    std::vector<uint32_t> shadow;
};

class IndexFile {
public:
    static std::string encode(const IndexFileContents& contents);
    // nullopt when the bytes are not a whole, undamaged index file of this version.
    static std::optional<IndexFileContents> decode(std::string_view bytes);

    // nullopt when the file is missing, unreadable or damaged.
    static std::optional<IndexFileContents> read(const std::filesystem::path& file);
    // Writes the whole file in one go. On failure the error handler is asked (create error, may
    // retry); false when it still failed.
    static bool write(const std::filesystem::path& file, const IndexFileContents& contents);

    // CRC-32 (IEEE) of the bytes, the checksum of the format.
    static uint32_t crc32(const char* data, size_t size);
};

}  // namespace klango::dbf

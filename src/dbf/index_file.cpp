#include "dbf/index_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/error.h"

namespace klango::dbf {

namespace {

void putU16(std::string& out, size_t at, uint32_t v) {
    out[at] = char(v & 0xFF);
    out[at + 1] = char((v >> 8) & 0xFF);
}
void putU32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
uint32_t getU16(std::string_view in, size_t at) {
    return uint32_t(uint8_t(in[at])) | uint32_t(uint8_t(in[at + 1])) << 8;
}
uint32_t getU32(std::string_view in, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(in[at + size_t(i)]);
    return v;
}

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

// The Windows-like code of the last failed file call, for the error log.
int osCodeOfLastError() {
    switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return 3;
        case EACCES:
        case EPERM:
        case EROFS:
            return 5;
        case ENOSPC:
            return 112;
        default:
            return 29;
    }
}

}  // namespace

uint32_t IndexFile::crc32(const char* data, size_t size) {
    const auto& table = crcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ uint8_t(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string IndexFile::encode(const IndexFileContents& in) {
    // Texts longer than a header length field can say are cut; such a file then fails the
    // expression check on the next attach and is rebuilt, which is the safe outcome.
    std::string_view expression = std::string_view(in.expression).substr(0, ntx::kMaxText);
    std::string_view condition = std::string_view(in.condition).substr(0, ntx::kMaxText);
    std::string_view name = std::string_view(in.name).substr(0, ntx::kMaxText);
    size_t size = ntx::kFixedHeaderSize + expression.size() + condition.size() + name.size() +
                  4 * (in.entries.size() + in.shadow.size());
    std::string out(size, '\0');
    std::memcpy(out.data(), ntx::kMagic, sizeof ntx::kMagic);
    putU32(out, ntx::kOffVersion, ntx::kVersion);
    putU32(out, ntx::kOffFileSize, uint32_t(size));
    putU32(out, ntx::kOffFlags, in.flags);
    putU32(out, ntx::kOffKeyWidth, in.keyWidth);
    putU32(out, ntx::kOffRecordCount, in.recordCount);
    putU32(out, ntx::kOffEntryCount, uint32_t(in.entries.size()));
    putU32(out, ntx::kOffShadowCount, uint32_t(in.shadow.size()));
    putU16(out, ntx::kOffExpressionLength, uint32_t(expression.size()));
    putU16(out, ntx::kOffConditionLength, uint32_t(condition.size()));
    putU16(out, ntx::kOffNameLength, uint32_t(name.size()));
    size_t at = ntx::kFixedHeaderSize;
    for (std::string_view text : {expression, condition, name}) {
        std::memcpy(out.data() + at, text.data(), text.size());
        at += text.size();
    }
    for (const auto* list : {&in.entries, &in.shadow}) {
        for (uint32_t recno : *list) {
            putU32(out, at, recno);
            at += 4;
        }
    }
    putU32(out, ntx::kOffChecksum, crc32(out.data() + ntx::kChecksumStart, size - ntx::kChecksumStart));
    return out;
}

std::optional<IndexFileContents> IndexFile::decode(std::string_view bytes) {
    if (bytes.size() < ntx::kFixedHeaderSize) return std::nullopt;
    if (std::memcmp(bytes.data(), ntx::kMagic, sizeof ntx::kMagic) != 0) return std::nullopt;
    if (getU32(bytes, ntx::kOffVersion) != ntx::kVersion) return std::nullopt;
    if (getU32(bytes, ntx::kOffFileSize) != bytes.size()) return std::nullopt;
    uint64_t entries = getU32(bytes, ntx::kOffEntryCount);
    uint64_t shadow = getU32(bytes, ntx::kOffShadowCount);
    uint64_t e = getU16(bytes, ntx::kOffExpressionLength);
    uint64_t c = getU16(bytes, ntx::kOffConditionLength);
    uint64_t n = getU16(bytes, ntx::kOffNameLength);
    if (ntx::kFixedHeaderSize + e + c + n + 4 * (entries + shadow) != bytes.size()) return std::nullopt;
    uint32_t crc = crc32(bytes.data() + ntx::kChecksumStart, bytes.size() - ntx::kChecksumStart);
    if (crc != getU32(bytes, ntx::kOffChecksum)) return std::nullopt;

    IndexFileContents out;
    out.flags = getU32(bytes, ntx::kOffFlags);
    if (out.flags & ~ntx::kKnownFlags) return std::nullopt;
    out.keyWidth = getU32(bytes, ntx::kOffKeyWidth);
    out.recordCount = getU32(bytes, ntx::kOffRecordCount);
    size_t at = ntx::kFixedHeaderSize;
    out.expression = std::string(bytes.substr(at, e));
    at += e;
    out.condition = std::string(bytes.substr(at, c));
    at += c;
    out.name = std::string(bytes.substr(at, n));
    at += n;
    out.entries.resize(entries);
    for (auto& r : out.entries) {
        r = getU32(bytes, at);
        at += 4;
    }
    out.shadow.resize(shadow);
    for (auto& r : out.shadow) {
        r = getU32(bytes, at);
        at += 4;
    }
    return out;
}

std::optional<IndexFileContents> IndexFile::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return std::nullopt;
    bytes.resize(size_t(size));
    in.seekg(0, std::ios::beg);
    if (!in.read(bytes.data(), size)) return std::nullopt;
    return decode(bytes);
}

bool IndexFile::write(const std::filesystem::path& file, const IndexFileContents& contents) {
    std::string bytes = encode(contents);
    for (;;) {
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            if (out && out.write(bytes.data(), std::streamsize(bytes.size()))) {
                out.close();
                if (out) return true;
            }
        }
        base::ErrorRecord e;
        e.genCode = base::kErrCreate;
        e.osCode = osCodeOfLastError();
        e.subsystem = "DBFNTX";
        e.subCode = 1004;
        e.description = "Create error";
        e.fileName = file.string();
        e.operation = "INDEX";
        e.canRetry = true;
        e.canDefault = true;
        // A half-written file must not stay behind looking like an index.
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (base::raiseError(e).kind != base::ErrorAnswer::kRetry) return false;
    }
}

}  // namespace klango::dbf

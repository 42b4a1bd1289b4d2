#include "base/profile_file.h"

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <system_error>
#include <unordered_map>

#include "base/cp1252.h"

namespace klango::base {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr size_t kMaxCachedFiles = 16;

enum class LineKind { Other, Section, Key };

struct Line {
    std::string raw;  // the line as in the file, without its line end
    LineKind kind = LineKind::Other;
    std::string name;     // section or key, trimmed, upper case a-z: the case-blind comparison form
    std::string keyText;  // a key as spelled in the file
    std::string value;    // a key's value, trimmed and unquoted
};

struct Parsed {
    std::vector<Line> lines;
    // First occurrence wins, as with the Windows functions: "SECTION\nKEY" -> value.
    std::unordered_map<std::string, std::string> values;
    std::unordered_map<std::string, size_t> firstSection;  // SECTION -> line index
};

std::string_view trimBlanksTabs(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

std::string_view unquote(std::string_view v) {
    if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

std::string lookupName(std::string_view section, std::string_view key) {
    std::string out = upperAZ(trimBlanksTabs(section));
    out += '\n';
    out += upperAZ(trimBlanksTabs(key));
    return out;
}

Line classify(std::string raw, bool first) {
    Line line;
    std::string_view t = raw;
    if (first && t.substr(0, kUtf8Bom.size()) == kUtf8Bom) t.remove_prefix(kUtf8Bom.size());
    t = trimBlanksTabs(t);
    if (!t.empty() && t[0] == '[') {
        size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            line.name = upperAZ(trimBlanksTabs(t.substr(1, close - 1)));
        }
    } else if (!t.empty() && t[0] != ';') {
        size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            std::string_view key = trimBlanksTabs(t.substr(0, eq));
            if (!key.empty()) {
                line.kind = LineKind::Key;
                line.keyText = std::string(key);
                line.name = upperAZ(key);
                line.value = std::string(unquote(trimBlanksTabs(t.substr(eq + 1))));
            }
        }
    }
    line.raw = std::move(raw);
    return line;
}

std::shared_ptr<Parsed> parse(const std::string& bytes) {
    auto parsed = std::make_shared<Parsed>();
    size_t pos = 0;
    std::string currentSection;
    // Only the first section of a name counts, and in it the first line of a key.
    bool countsForLookup = false;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        size_t end = nl == std::string::npos ? bytes.size() : nl;
        size_t len = end - pos;
        if (len > 0 && bytes[pos + len - 1] == '\r') --len;
        Line line = classify(bytes.substr(pos, len), parsed->lines.empty());
        if (line.kind == LineKind::Section) {
            currentSection = line.name;
            countsForLookup = parsed->firstSection.emplace(line.name, parsed->lines.size()).second;
        } else if (line.kind == LineKind::Key && countsForLookup) {
            parsed->values.emplace(currentSection + '\n' + line.name, line.value);
        }
        parsed->lines.push_back(std::move(line));
        pos = nl == std::string::npos ? bytes.size() : nl + 1;
    }
    return parsed;
}

struct CacheEntry {
    fs::file_time_type mtime;
    uintmax_t size = 0;
    std::shared_ptr<const Parsed> parsed;
};

std::mutex g_cacheMutex;
std::map<std::string, CacheEntry> g_cache;

std::string cacheKey(const fs::path& file) {
    std::error_code ec;
    fs::path abs = fs::absolute(file, ec);
    return (ec ? file : abs).lexically_normal().string();
}

enum class LoadState { Loaded, Missing, Unreadable };

// The parsed file; Missing when there is no such file, Unreadable when it exists but cannot be read
// (a folder of that name, no permission). Both read as an empty file; writing refuses Unreadable.
std::shared_ptr<const Parsed> load(const fs::path& file, LoadState* state) {
    static const auto kEmpty = std::make_shared<const Parsed>();
    std::error_code ec;
    fs::file_status st = fs::status(file, ec);
    if (ec) {
        bool absent = ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
        *state = absent ? LoadState::Missing : LoadState::Unreadable;
        return kEmpty;
    }
    if (!fs::exists(st)) {
        *state = LoadState::Missing;
        return kEmpty;
    }
    if (!fs::is_regular_file(st)) {
        *state = LoadState::Unreadable;
        return kEmpty;
    }
    uintmax_t size = fs::file_size(file, ec);
    fs::file_time_type mtime = ec ? fs::file_time_type{} : fs::last_write_time(file, ec);
    std::string key = cacheKey(file);
    if (!ec) {
        std::lock_guard lock(g_cacheMutex);
        auto it = g_cache.find(key);
        if (it != g_cache.end() && it->second.mtime == mtime && it->second.size == size) {
            *state = LoadState::Loaded;
            return it->second.parsed;
        }
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *state = LoadState::Unreadable;
        return kEmpty;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) {
        *state = LoadState::Unreadable;
        return kEmpty;
    }
    std::shared_ptr<const Parsed> parsed = parse(buf.str());
    *state = LoadState::Loaded;
    if (!ec) {
        std::lock_guard lock(g_cacheMutex);
        if (g_cache.size() >= kMaxCachedFiles && g_cache.find(key) == g_cache.end()) g_cache.clear();
        g_cache[key] = CacheEntry{mtime, size, parsed};
    }
    return parsed;
}

void forget(const fs::path& file) {
    std::lock_guard lock(g_cacheMutex);
    g_cache.erase(cacheKey(file));
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool isBlankLine(const Line& line) { return trimBlanksTabs(line.raw).empty(); }

// Writes bytes to a fresh file beside target and renames it over target.
bool replaceFile(const fs::path& target, const std::string& bytes) {
    fs::path folder = target.parent_path();
    std::random_device rd;
    fs::path temp = (folder.empty() ? fs::path(".") : folder) /
                    ("." + target.filename().string() + "." + std::to_string(rd() % 1000000) + ".tmp");
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
        out.close();
        if (out.fail()) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

}  // namespace

std::string readProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    LoadState state;
    auto parsed = load(file, &state);
    auto it = parsed->values.find(lookupName(section, key));
    if (it == parsed->values.end()) return std::string(defaultValue);
    return it->second;
}

bool writeProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::string_view sec = trimBlanksTabs(section);
    std::string_view k = trimBlanksTabs(key);
    if (sec.empty() || k.empty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        sec.find(']') != std::string_view::npos || k.find('=') != std::string_view::npos || k[0] == '[' ||
        k[0] == ';')
        return false;

    // Write through a symbolic link to the file it names, so that the link stays a link.
    fs::path target = file;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(file, ec))) {
        fs::path resolved = fs::weakly_canonical(file, ec);
        if (!ec) target = resolved;
    }

    LoadState state;
    auto parsed = load(target, &state);
    if (state == LoadState::Unreadable) return false;

    std::vector<std::string> lines;
    lines.reserve(parsed->lines.size() + 3);
    for (const Line& l : parsed->lines) lines.push_back(l.raw);

    std::string secName = upperAZ(sec);
    std::string keyName = upperAZ(k);
    auto secIt = parsed->firstSection.find(secName);
    if (secIt != parsed->firstSection.end()) {
        size_t begin = secIt->second + 1;
        size_t end = begin;
        while (end < parsed->lines.size() && parsed->lines[end].kind != LineKind::Section) ++end;
        size_t found = end;
        for (size_t i = begin; i < end; ++i) {
            if (parsed->lines[i].kind == LineKind::Key && parsed->lines[i].name == keyName) {
                found = i;
                break;
            }
        }
        if (found != end) {
            lines[found] = parsed->lines[found].keyText + "=" + std::string(value);
        } else {
            size_t at = end;
            while (at > begin && isBlankLine(parsed->lines[at - 1])) --at;
            lines.insert(lines.begin() + std::ptrdiff_t(at), std::string(k) + "=" + std::string(value));
        }
    } else {
        if (!lines.empty() && !trimBlanksTabs(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + std::string(sec) + "]");
        lines.push_back(std::string(k) + "=" + std::string(value));
    }

    std::string bytes;
    for (const std::string& l : lines) {
        bytes += l;
        bytes += "\r\n";
    }
    bool ok = replaceFile(target, bytes);
    forget(target);
    if (target != file) forget(file);
    return ok;
}

std::vector<std::string> profileKeys(const fs::path& file, std::string_view section) {
    LoadState state;
    auto parsed = load(file, &state);
    std::vector<std::string> keys;
    auto secIt = parsed->firstSection.find(upperAZ(trimBlanksTabs(section)));
    if (secIt == parsed->firstSection.end()) return keys;
    std::vector<std::string> seen;
    for (size_t i = secIt->second + 1; i < parsed->lines.size(); ++i) {
        const Line& l = parsed->lines[i];
        if (l.kind == LineKind::Section) break;
        if (l.kind != LineKind::Key) continue;
        bool dup = false;
        for (const auto& s : seen) dup = dup || s == l.name;
        if (dup) continue;
        seen.push_back(l.name);
        keys.push_back(l.keyText);
    }
    return keys;
}

void clearProfileCache() {
    std::lock_guard lock(g_cacheMutex);
    g_cache.clear();
}

}  // namespace klango::base

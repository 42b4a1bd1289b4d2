#include "trackdb/id3v2_content_type.h"

#include <algorithm>
#include <optional>

#include "base/cp1252.h"

namespace klango::trackdb {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The name a single reference stands for, or nullopt when it is not one.
std::optional<std::string> referenceName(std::string_view ref, const GenreTable& genres) {
    if (ref == "RX") return std::string("Remix");
    if (ref == "CR") return std::string("Cover");
    if (allDigits(ref)) {
        // More than three digits can name no genre of one byte.
        return ref.size() <= 3 ? genres.name(std::stoi(std::string(ref))) : std::string(kNoGenre);
    }
    return std::nullopt;
}

}  // namespace

std::string resolveContentType(std::string_view text, const GenreTable& genres) {
    std::string_view rest = base::trim(text);
    std::optional<std::string> first;
    while (rest.size() >= 2 && rest[0] == '(' && rest[1] != '(') {
        size_t close = rest.find(')');
        if (close == std::string_view::npos) break;
        auto name = referenceName(rest.substr(1, close - 1), genres);
        if (!name) break;
        if (!first) first = std::move(name);
        rest.remove_prefix(close + 1);
    }
    if (!first) {
        if (auto name = referenceName(rest, genres)) return *name;  // 2.4 writes "17", "RX", "CR"
    }
    if (rest.substr(0, 2) == "((") rest.remove_prefix(1);
    rest = base::trim(rest);
    if (!rest.empty()) return std::string(rest);
    return first.value_or(std::string());
}

}  // namespace klango::trackdb

#include "platform/file_names.h"

#include <algorithm>
#include <system_error>

namespace klango::platform {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

std::filesystem::path resolveComponent(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path exact = folder / std::filesystem::path(std::string(name));
    std::error_code ec;
    if (std::filesystem::exists(exact, ec)) return exact;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    std::filesystem::path best;
    for (; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        // Several entries may differ only in case; take the first by name so the choice is stable.
        if (equalCaseBlind(entry, name) && (best.empty() || entry < best.filename().string())) best = it->path();
    }
    if (!best.empty()) return folder.empty() ? best.filename() : best;
    return exact;
}

}  // namespace

std::filesystem::path resolveCaseBlind(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path result = folder;
    std::filesystem::path rel{std::string(name)};
    for (const auto& part : rel) {
        std::string piece = part.string();
        if (piece.empty() || piece == "." || piece == "/") continue;
        if (piece == "..") {
            result /= "..";
            continue;
        }
        result = resolveComponent(result, piece);
    }
    return result;
}

bool matchesMask(std::string_view name, std::string_view mask) {
    // Iterative wildcard match with backtracking to the last '*'.
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lowerAscii(mask[m]) == lowerAscii(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool isHiddenName(std::string_view name) { return !name.empty() && name[0] == '.'; }

std::vector<std::filesystem::path> listMatching(const std::filesystem::path& folder, std::string_view mask) {
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc) || it->is_symlink(typeEc)) continue;
        if (isHiddenName(name) || !matchesMask(name, mask)) continue;
        out.push_back(it->path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace klango::platform

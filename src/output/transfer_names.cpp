#include "output/transfer_names.h"

#include <vector>

#include "base/cp1252.h"

namespace fs = std::filesystem;

namespace klango::output {
namespace {

// Longest file name (in UTF-8 bytes) we write: common file systems take 255.
constexpr size_t kMaxNameBytes = 250;

bool unsafeInName(unsigned char c) {
    switch (c) {
        case ';': case ':': case '/': case '\\': case '.':
        case '*': case '?': case '"': case '<': case '>': case '|':
            return true;
        default:
            return c < 0x20 || c == 0x7F;
    }
}

std::string twoDigits(int n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string flatNamePart(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (unsafeInName(static_cast<unsigned char>(c))) c = ' ';
    return std::string(base::trim(out));
}

std::string flatFileName(const TrackNameParts& p, const FlatNameOptions& o) {
    std::string name;
    if (o.artist) name += flatNamePart(base::trimRight(p.group)) + " - ";
    if (o.album) name += flatNamePart(base::trimRight(p.album)) + " - ";
    if (o.number && p.track > 0) name += twoDigits(p.track) + " ";
    name += flatNamePart(base::trimRight(p.title));
    name = std::string(base::trim(name));
    if (name.empty()) name = "Titel";

    std::string extension;
    if (const size_t dot = p.sourceFile.rfind('.'); dot != std::string::npos)
        extension = flatNamePart(std::string_view(p.sourceFile).substr(dot + 1));
    const std::string suffix = extension.empty() ? std::string() : "." + extension;
    while (name.size() > 1 && base::cp1252ToUtf8(name + suffix).size() > kMaxNameBytes) name.pop_back();
    name = std::string(base::trimRight(name));
    return name + suffix;
}

fs::path structuredTarget(const fs::path& destination, const fs::path& source, const fs::path& drive) {
    std::vector<fs::path> sourceParts, driveParts;
    for (const fs::path& part : source) sourceParts.push_back(part);
    for (const fs::path& part : drive) {
        if (!part.empty()) driveParts.push_back(part);
    }
    size_t first = 0;
    if (driveParts.size() <= sourceParts.size() &&
        std::equal(driveParts.begin(), driveParts.end(), sourceParts.begin()))
        first = driveParts.size();
    fs::path below;
    for (size_t i = first; i < sourceParts.size(); ++i) {
        const fs::path& part = sourceParts[i];
        if (part.empty() || part == "." || part == ".." || part == "/" || part.has_root_name()) continue;
        below /= part;
    }
    if (below.empty()) return {};
    return destination / below;
}

fs::path TargetClaims::claim(const fs::path& target, const fs::path& source) {
    fs::path candidate = target;
    for (int n = 2;; ++n) {
        const std::string key = base::upperAZ(candidate.lexically_normal().string());
        auto [it, fresh] = m_claimed.emplace(key, source);
        if (fresh || it->second == source) return candidate;
        candidate = target.parent_path() /
                    (target.stem().string() + " (" + std::to_string(n) + ")" + target.extension().string());
    }
}

}  // namespace klango::output

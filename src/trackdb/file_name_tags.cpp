#include "trackdb/file_name_tags.h"

#include "base/cp1252.h"
#include "shell/rx_helpers.h"

namespace klango::trackdb {

namespace {

constexpr std::string_view kSeparator = "/";
constexpr size_t kExtensionLength = 4;  // ".mp3"

// The file name, trimmed, without its extension.
std::string_view baseName(std::string_view path) {
    std::string_view name = base::trim(fileNameOf(path));
    return name.substr(0, name.size() > kExtensionLength ? name.size() - kExtensionLength : 0);
}

}  // namespace

PathPieces::PathPieces(std::string_view path) : m_r(shell::NUMTOKEN(path, kSeparator)) {
    for (int k = 1; k < m_r; ++k) m_pieces.push_back(shell::tokenPiece(path, kSeparator, k));
}

std::string_view PathPieces::piece(int k) const {
    if (k < 1 || k > static_cast<int>(m_pieces.size())) return {};
    return m_pieces[static_cast<size_t>(k - 1)];
}

std::string_view fileNameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

LeadingNumber splitLeadingNumber(std::string_view text) {
    LeadingNumber result;
    result.rest = std::string(text);
    size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank > 2) return result;
    int number = 0;
    for (char c : text.substr(0, blank)) {
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
    }
    if (number > 0) {
        result.number = number;
        result.rest = std::string(base::trim(text.substr(blank)));
    }
    return result;
}

void applyFileName1(std::string_view path, TagResult& tag) {
    std::string_view name = baseName(path);
    size_t dash = name.find('-');
    std::string_view artist = dash == std::string_view::npos ? std::string_view() : base::trimRight(name.substr(0, dash));
    std::string_view rest = base::trim(dash == std::string_view::npos ? name : name.substr(dash + 1));
    LeadingNumber title = splitLeadingNumber(rest);
    tag.TRACK = title.number;
    tag.TITLE = std::move(title.rest);
    tag.GROUP = std::string(artist);
    tag.TAGREAD = kTagReadFile1;
}

void applyFileName2(std::string_view path, TagResult& tag) {
    LeadingNumber title = splitLeadingNumber(baseName(path));
    PathPieces pieces(path);
    const int r = pieces.r();
    tag.ALBUM = r > 2 ? shell::RXSTRCAPALL(pieces.piece(r - 2)) : std::string();
    tag.GROUP = r > 3 ? shell::RXSTRCAPALL(pieces.piece(r - 3)) : std::string();
    tag.TRACK = title.number;
    tag.TITLE = std::move(title.rest);
    tag.TAGREAD = kTagReadFile2;
}

}  // namespace klango::trackdb

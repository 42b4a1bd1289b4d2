#include "trackdb/id3v1_reader.h"

namespace klango::trackdb {

namespace {

constexpr size_t kTitleAt = 3;
constexpr size_t kArtistAt = 33;
constexpr size_t kAlbumAt = 63;
constexpr size_t kYearAt = 93;
constexpr size_t kCommentAt = 97;
constexpr size_t kGenreAt = 127;
constexpr size_t kTextSize = 30;

std::string textAt(std::string_view tag, size_t at) {
    std::string_view text = tag.substr(at, kTextSize);
    return std::string(text.substr(0, text.find('\0')));
}

std::string_view lastBytes(FileWindow& file) {
    if (file.size() < kId3v1Size) return {};
    std::string_view tag = file.bytes(file.size() - kId3v1Size, kId3v1Size);
    if (tag.size() < kId3v1Size || tag.substr(0, 3) != "TAG") return {};
    return tag;
}

}  // namespace

bool hasId3v1(FileWindow& file) { return !lastBytes(file).empty(); }

std::optional<Id3v1Tag> readId3v1(FileWindow& file) {
    std::string_view tag = lastBytes(file);
    if (tag.empty()) return std::nullopt;
    Id3v1Tag v1;
    v1.title = textAt(tag, kTitleAt);
    v1.artist = textAt(tag, kArtistAt);
    v1.album = textAt(tag, kAlbumAt);
    v1.yearAndComment = textAt(tag, kYearAt);
    if (tag[kCommentAt + 28] == '\0' && tag[kCommentAt + 29] != '\0') {
        v1.track = static_cast<unsigned char>(tag[kCommentAt + 29]);
    }
    v1.genre = static_cast<unsigned char>(tag[kGenreAt]);
    return v1;
}

}  // namespace klango::trackdb

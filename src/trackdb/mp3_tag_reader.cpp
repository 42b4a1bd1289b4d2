#include "trackdb/mp3_tag_reader.h"

#include <cstdlib>
#include <optional>

#include "base/cp1252.h"
#include "shell/rx_helpers.h"
#include "trackdb/file_name_tags.h"
#include "trackdb/id3v1_reader.h"
#include "trackdb/id3v2_content_type.h"
#include "trackdb/id3v2_reader.h"
#include "trackdb/mpeg_audio_info.h"
#include "trackdb/tag_values.h"

namespace klango::trackdb {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The ID3v1 track number rule of the file name: two leading digits below 20.
int trackFromFileName(std::string_view fileName) {
    if (fileName.size() < 2 || !isDigit(fileName[0]) || !isDigit(fileName[1])) return 0;
    int n = (fileName[0] - '0') * 10 + (fileName[1] - '0');
    return n < 20 ? n : 0;
}

// An ID3v1 text, or the path piece standing in for it when it is blank, capitalised.
std::string v1Text(std::string_view text, std::string_view standIn) {
    return shell::RXSTRCAPALL(base::trim(text).empty() ? standIn : text);
}

void takeId3v2(const Id3v2Tag& v2, const GenreTable& genres, TagResult& tag) {
    if (v2.contentType) tag.GENRE = resolveContentType(*v2.contentType, genres);
    if (v2.year) tag.YEAR = yearNumber(*v2.year);
    if (v2.track) tag.TRACK = trackNumber(*v2.track);
    if (v2.length) {
        if (auto seconds = secondsFromMilliseconds(*v2.length)) tag.TIME = playLength(*seconds);
    }
    if (v2.album) tag.ALBUM = *v2.album;
    if (v2.artist) tag.GROUP = *v2.artist;
    if (v2.title) tag.TITLE = *v2.title;
}

}  // namespace

TagResult READTAG(std::string_view cPath, FileWindow& file, TagResult aTag, const GenreTable& genres) {
    std::optional<int> genre;  // none: no genre information at all
    if (auto v1 = readId3v1(file)) {
        PathPieces pieces(cPath);
        const int r = pieces.r();

        std::string title(base::trim(v1->title).empty() ? pieces.piece(r - 1) : std::string_view(v1->title));
        if (title.size() >= 2 && isDigit(title[0]) && isDigit(title[1])) {
            title = std::string(base::trim(std::string_view(title).substr(2)));
        }
        title = shell::RXSTRCAPALL(title);
        if (aTag.TITLE.empty()) aTag.TITLE = title;

        std::string artist = v1Text(v1->artist, r > 3 ? pieces.piece(r - 3) : std::string_view());
        if (aTag.GROUP.empty()) aTag.GROUP = artist;
        std::string album = v1Text(v1->album, r > 2 ? pieces.piece(r - 2) : std::string_view());
        if (aTag.ALBUM.empty()) aTag.ALBUM = album;

        if (aTag.YEAR == 0) {
            std::string_view year = base::trimLeft(v1->yearAndComment).substr(0, 4);
            aTag.YEAR = static_cast<int>(std::llabs(leadingNumber(year)));
        } else {
            aTag.YEAR = std::abs(aTag.YEAR);
        }

        // The ID3v2 track number comes first, then the ID3v1.1 byte, then the file name.
        if (aTag.TRACK == 0 && v1->track <= kMaxTrack) aTag.TRACK = v1->track;
        if (aTag.TRACK == 0) aTag.TRACK = trackFromFileName(fileNameOf(cPath));

        if (aTag.TAGREAD.empty()) aTag.TAGREAD = kTagReadId3v1;
        if (v1->genre != kId3v1NoGenre) genre = v1->genre;
    } else {
        // The names only fill what the ID3v2 tag left empty.
        TagResult names;
        if (fileNameOf(cPath).find('-') != std::string_view::npos) {
            applyFileName1(cPath, names);
        } else {
            applyFileName2(cPath, names);
        }
        if (aTag.TITLE.empty()) aTag.TITLE = std::move(names.TITLE);
        if (aTag.GROUP.empty()) aTag.GROUP = std::move(names.GROUP);
        if (aTag.ALBUM.empty()) aTag.ALBUM = std::move(names.ALBUM);
        if (aTag.TRACK == 0) aTag.TRACK = names.TRACK;
        if (aTag.TIME.empty()) aTag.TIME = kUnknownTime;
        if (aTag.TAGREAD.empty()) aTag.TAGREAD = std::move(names.TAGREAD);
    }
    if (aTag.GENRE.empty() && genre) aTag.GENRE = genres.name(*genre);
    return aTag;
}

TagResult READMP3(const std::filesystem::path& path, const GenreTable& genres) {
    TagResult tag;
    FileWindow file(path);
    const std::string cPath = base::utf8ToCp1252(path.string());

    const Id3v2Tag v2 = Id3v2Reader(file).read();
    if (v2.present) {
        takeId3v2(v2, genres, tag);
        if (tag != TagResult{}) tag.TAGREAD = kTagReadId3v2;
        // Whatever the ID3v2 tag left empty, the ID3v1 tag and then the names may still fill.
        if (tag.GENRE.empty() || tag.ALBUM.empty() || tag.GROUP.empty() || tag.TITLE.empty() || tag.YEAR == 0 ||
            tag.TRACK == 0) {
            tag = READTAG(cPath, file, std::move(tag), genres);
        }
    } else {
        tag = READTAG(cPath, file, std::move(tag), genres);
    }

    if (tag.TIME.empty() || tag.TIME == kUnknownTime) {
        const uint64_t audioEnd = file.size() - (hasId3v1(file) ? kId3v1Size : 0);
        if (auto audio = readMpegAudioInfo(file, v2.end, audioEnd)) tag.TIME = playLength(audio->seconds);
    }
    return tag;
}

}  // namespace klango::trackdb

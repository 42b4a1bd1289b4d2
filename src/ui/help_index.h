// The help document's topics and keyword index: the anchor that a help topic opens ("Filter
// setzen" -> "filter-setzen") and the keyword list of the index file (one "keyword<TAB>anchor"
// line each, UTF-8). No Qt; the help window and the tests use it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace klango::ui {

// The anchor where the document opens when nothing more precise is asked for.
inline constexpr const char* kHelpTopAnchor = "inhalt";

// The anchor of a help topic (CP1252): lower case, "ä" "ö" "ü" "ß" as "ae" "oe" "ue" "ss", every
// run of other characters than letters and digits as one "-", none at either end. An empty topic
// (or one without a letter or digit) gives the top of the document.
std::string helpAnchor(std::string_view topic);

struct HelpKeyword {
    std::string keyword;  // CP1252
    std::string anchor;
};

// The keywords of an index file in file order. Lines without a TAB, with an empty keyword or an
// empty anchor are passed over; a missing file gives an empty list. CR before LF is allowed.
std::vector<HelpKeyword> readHelpIndex(const std::filesystem::path& file);

}  // namespace klango::ui

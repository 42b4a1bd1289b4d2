// The search criteria of the search dialog (artist, album, song title, free words and the two
// links) and the condition they make over a track record. Built once when a search starts, so the
// condition is a function of the record alone. Used by the search routines and klango-cli.
#pragma once

#include <string>
#include <vector>

#include "dbf/dbf_structure.h"
#include "dbf/record_view.h"

namespace klango::shell {
class Settings;
}

namespace klango::query {

struct SearchCriteria {
    std::string group;  // CSU_GROUP, 40 characters
    std::string album;  // CSU_ALBUM, 40
    std::string title;  // CSU_TITLE, 40
    std::string text;   // CSU_TEXT, 50: free words
    std::string andOr1 = " und ";  // CCBX1: between artist and album
    std::string andOr2 = " und ";  // CCBX2: in front of the song title
    bool inAll = false;            // search every database of the data folder

    bool anyTerm() const;  // does any of the four fields hold a non-blank character?
};

inline constexpr int kTermWidth = 40;
inline constexpr int kTextWidth = 50;
inline constexpr int kMaxFreeWords = 10;
inline constexpr const char* kAnd = " und ";
inline constexpr const char* kOr = " oder ";

// Section Suchen of the settings file; values come back cut to their widths.
SearchCriteria loadSearchCriteria(const shell::Settings& settings);
// Written padded to their widths, SeekInAll as "1" or "0". False when the file could not be written.
bool saveSearchCriteria(const shell::Settings& settings, const SearchCriteria& criteria);

// FTXTSUCH1: the free words, at most ten, split at runs of blanks; a text without an inner blank
// is the one word as it stands.
std::vector<std::string> FTXTSUCH1(const std::string& text);

class SearchCondition {
public:
    // For tables of this structure (GROUP, ALBUM, TITLE found by name).
    SearchCondition(const SearchCriteria& criteria, const dbf::Structure& fields);

    // CSUCH: the condition as an expression text ("FullTxtSuch()" for the free words), empty
    // when no field holds a term.
    const std::string& text() const { return m_text; }
    bool empty() const { return m_groups.empty() && !m_freeWords; }
    const std::vector<std::string>& words() const { return m_words; }

    // Does the record meet the condition? With field terms: the terms joined by their links,
    // "und" binding more strongly than "oder"; with free words (FTXTSUCH2): every word occurs
    // inside one of artist, album and title.
    bool operator()(const dbf::RecordView& record) const;

private:
    struct Term {
        int field = -1;
        std::string needle;  // folded, trailing blanks removed, leading blanks kept
    };
    bool meets(const Term& term, const dbf::RecordView& record) const;

    std::vector<std::vector<Term>> m_groups;  // or-ed groups of and-ed terms
    bool m_freeWords = false;
    std::vector<std::string> m_words;          // as FTXTSUCH1 split them
    std::vector<std::string> m_foldedWords;    // folded, trailing blanks removed
    int m_group = -1, m_album = -1, m_title = -1;
    std::string m_text;
};

}  // namespace klango::query

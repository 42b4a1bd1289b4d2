#include "query/search_condition.h"

#include "base/cp1252.h"
#include "query/text_match.h"
#include "shell/settings.h"
#include "shell/settings_keys.h"

namespace klango::query {

namespace {

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string cut(std::string text, size_t width) {
    if (text.size() > width) text.resize(width);
    return text;
}

std::string pad(std::string text, size_t width) {
    text = cut(std::move(text), width);
    text.resize(width, ' ');
    return text;
}

// A link is "and" when its text without surrounding blanks begins with "und".
bool isAnd(const std::string& link) { return std::string(base::trim(link)).rfind("und", 0) == 0; }

}  // namespace

bool SearchCriteria::anyTerm() const { return !blank(group) || !blank(album) || !blank(title) || !blank(text); }

SearchCriteria loadSearchCriteria(const shell::Settings& settings) {
    namespace keys = shell::keys;
    SearchCriteria c;
    c.group = cut(settings.text(keys::kSuchenGroup), kTermWidth);
    c.album = cut(settings.text(keys::kSuchenAlbum), kTermWidth);
    c.title = cut(settings.text(keys::kSuchenTitle), kTermWidth);
    c.text = cut(settings.text(keys::kSuchenText), kTextWidth);
    c.andOr1 = isAnd(settings.text(keys::kAndOr1)) ? kAnd : kOr;
    c.andOr2 = isAnd(settings.text(keys::kAndOr2)) ? kAnd : kOr;
    c.inAll = settings.on(keys::kSeekInAll);
    return c;
}

bool saveSearchCriteria(const shell::Settings& settings, const SearchCriteria& c) {
    namespace keys = shell::keys;
    bool ok = settings.write(keys::kSuchenGroup, pad(c.group, kTermWidth));
    ok = settings.write(keys::kSuchenAlbum, pad(c.album, kTermWidth)) && ok;
    ok = settings.write(keys::kSuchenTitle, pad(c.title, kTermWidth)) && ok;
    ok = settings.write(keys::kSuchenText, pad(c.text, kTextWidth)) && ok;
    ok = settings.write(keys::kAndOr1, c.andOr1) && ok;
    ok = settings.write(keys::kAndOr2, c.andOr2) && ok;
    ok = settings.writeSwitch(keys::kSeekInAll, c.inAll) && ok;
    return ok;
}

std::vector<std::string> FTXTSUCH1(const std::string& text) {
    std::vector<std::string> words;
    const std::string trimmed(base::trim(text));
    if (trimmed.find(' ') == std::string::npos) {
        words.push_back(text);
        return words;
    }
    size_t pos = 0;
    while (int(words.size()) < kMaxFreeWords) {
        pos = trimmed.find_first_not_of(' ', pos);
        if (pos == std::string::npos) break;
        size_t end = trimmed.find(' ', pos);
        if (end == std::string::npos) end = trimmed.size();
        words.push_back(trimmed.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

SearchCondition::SearchCondition(const SearchCriteria& c, const dbf::Structure& fields) {
    m_group = dbf::fieldIndexOf(fields, "GROUP");
    m_album = dbf::fieldIndexOf(fields, "ALBUM");
    m_title = dbf::fieldIndexOf(fields, "TITLE");
    const bool and1 = isAnd(c.andOr1), and2 = isAnd(c.andOr2);
    auto piece = [](const char* var, const char* field) {
        return std::string("at(upper(rtrim(") + var + ")), upper(rtrim(" + field + "))) > 0";
    };
    // The terms in their order with the link in front of each (the first has none).
    struct Step {
        Term term;
        bool andBefore;
        std::string text;
    };
    std::vector<Step> steps;
    if (!blank(c.group)) steps.push_back({{m_group, foldCase(base::trimRight(c.group))}, true, piece("cSU_GROUP", "GROUP")});
    if (!blank(c.album)) steps.push_back({{m_album, foldCase(base::trimRight(c.album))}, and1, piece("cSU_ALBUM", "ALBUM")});
    if (!blank(c.title)) steps.push_back({{m_title, foldCase(base::trimRight(c.title))}, and2, piece("cSU_TITLE", "TITLE")});
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i == 0) {
            m_groups.push_back({steps[i].term});
            m_text = steps[i].text;
            continue;
        }
        if (steps[i].andBefore) {
            m_groups.back().push_back(steps[i].term);
        } else {
            m_groups.push_back({steps[i].term});
        }
        m_text += (steps[i].andBefore ? " .and. " : " .or. ") + steps[i].text;
    }
    if (steps.empty() && !blank(c.text)) {
        m_freeWords = true;
        m_words = FTXTSUCH1(c.text);
        for (const std::string& w : m_words) m_foldedWords.push_back(foldCase(base::trimRight(w)));
        m_text = "FullTxtSuch()";
    }
}

bool SearchCondition::meets(const Term& term, const dbf::RecordView& record) const {
    if (term.field < 0) return term.needle.empty();
    return containsFolded(base::trimRight(record.raw(term.field)), term.needle);
}

bool SearchCondition::operator()(const dbf::RecordView& record) const {
    if (m_freeWords) {
        for (const std::string& word : m_foldedWords) {
            bool found = false;
            for (int field : {m_group, m_album, m_title}) {
                if (field >= 0 && containsFolded(record.raw(field), word)) {
                    found = true;
                    break;
                }
            }
            if (!found) return false;
        }
        return true;
    }
    for (const auto& group : m_groups) {
        bool all = true;
        for (const Term& term : group) {
            if (!meets(term, record)) {
                all = false;
                break;
            }
        }
        if (all) return true;
    }
    return false;
}

}  // namespace klango::query

// The search dialog "Suchmaschine" as a model: the artist, album and song-title fields with their
// two links, the free-word field, "in allen Datenbanken suchen", the progress frame and the
// buttons "&Leeren", "&Starten", "&Abbrechen". The search itself runs inside "&Starten" through
// the start function Search gives it; while it runs, "&Abbrechen" asks it to stop. Built by
// Search::MP3SUCH; the Qt view (SearchDialogView) and the tests drive it.
#pragma once

#include <functional>
#include <string>

#include "query/search_condition.h"
#include "ui/dialog_model.h"

namespace klango::query {

class SearchDialogModel : public ui::DialogModel {
public:
    static constexpr const char* kTitle = "Suchmaschine";
    static constexpr const char* kHelpTopic = "Suchen";
    static constexpr const char* kIntro =
        "Bitte geben Sie die Suchbegriffe ein. Die Gro\xDF- und Kleinschrift muss nicht beachtet werden!";

    enum class Field { Group, Album, Title, Text };

    using Start = std::function<void(SearchDialogModel&)>;
    SearchDialogModel(SearchCriteria criteria, Start start);

    std::string title() const override { return kTitle; }
    std::string helpTopic() const override { return kHelpTopic; }

    const SearchCriteria& criteria() const { return m_criteria; }
    const std::string& value(Field field) const;
    // Typed text, in capitals (a to z and the accented letters), cut to the field's width.
    void setValue(Field field, const std::string& text);
    // The field loses the focus: the artist, album or title field, when not blank, clears and
    // disables the free-word field; the free-word field enables the other three when blank and
    // disables them otherwise.
    void leave(Field field);
    bool fieldEnabled(Field field) const;
    void setLink1(bool oder);
    void setLink2(bool oder);
    void setInAll(bool on) { m_criteria.inAll = on, changed(); }

    // "&Starten" is enabled while the four fields together hold a non-blank character and no
    // search has started.
    bool canStart() const { return !m_started && m_criteria.anyTerm(); }
    bool canClear() const { return !m_started; }
    bool canCancel() const { return !m_started || (m_running && !m_stop); }
    void clear();   // "&Leeren"
    void start();   // "&Starten": runs the search, then closes
    void abort();   // "&Abbrechen": stops a running search, or closes the dialog unsearched

    // Progress of a search in all databases, set by the search.
    void setRunning(bool running) { m_running = running, changed(); }
    void setProgress(const std::string& file, long position, long total);
    const std::string& currentFile() const { return m_file; }  // CINFO
    long position() const { return m_position; }
    long total() const { return m_total; }
    bool stopRequested() const { return m_stop; }

    bool searched() const { return m_started; }

private:
    std::string& slot(Field field);

    SearchCriteria m_criteria;
    Start m_start;
    bool m_textEnabled = true;
    bool m_termsEnabled = true;
    bool m_started = false;
    bool m_running = false;
    bool m_stop = false;
    std::string m_file;
    long m_position = 0;
    long m_total = 0;
};

}  // namespace klango::query

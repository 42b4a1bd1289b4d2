// The sort dialog of the playlist export (" Playliste sortieren"): the titles not yet placed on
// the left (ASOURCE), the playing order on the right (ADESTIN, ending in the end marker), the four
// move buttons with their two text twins, and which button may be pressed. Lives only while the
// dialog is open; the export reads the order after "&Weiter". Qt view: gui/playlist_sort_view.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "output/playlist_entry.h"
#include "ui/dialog_model.h"

namespace klango::output {

class PlaylistSortModel : public ui::DialogModel {
public:
    static constexpr const char* kFirstEndMarker = "     -----  Ende der Tabelle  -----";
    static constexpr const char* kEndMarker = "-----  Ende der Tabelle  -----";

    enum class Button { AllOver, OneOver, OneBack, AllBack, AllOverText, AllBackText, Continue, Stop };
    struct ButtonText {
        Button button;
        const char* caption;
        const char* toolTip;  // "" when none
        const char* message;  // the message-bar text while the pointer is on it; "" when none
    };
    static const std::vector<ButtonText>& buttons();

    enum class List { Source, Destination };

    // source: the qualifying titles in table order.
    explicit PlaylistSortModel(std::vector<TitleEntry> source);

    std::string title() const override { return " Playliste sortieren"; }
    std::string helpTopic() const override { return "Playliste sortieren"; }

    const std::vector<TitleEntry>& ASOURCE() const { return m_source; }
    const std::vector<TitleEntry>& ADESTIN() const { return m_destin; }
    // Current entries by position; the view follows them and reports the user's choice.
    size_t sourceCurrent() const { return m_sourceCurrent; }
    size_t destinCurrent() const { return m_destinCurrent; }
    void setSourceCurrent(size_t i);
    void setDestinCurrent(size_t i);
    List focus() const { return m_focus; }

    // 0 sets the buttons (nothing to do here: enabled() answers at once), 1 all over, 2 the
    // current title over, 3 the current sorted title back, 4 all back. An action whose button is
    // disabled does nothing.
    void M3USORT2(int nAction);
    bool enabled(Button button) const;
    // A button pressed: its action; "&Weiter" accepts and closes, "&Unterbrechen" closes.
    void press(Button button);
    // Double clicks on an entry: it becomes current, then ">" (left list) or "<" (right list).
    void sourceActivated(size_t i);
    void destinActivated(size_t i);

    bool accepted() const { return m_accepted; }
    // The titles of the sorted list in playing order, without the end marker.
    std::vector<TitleEntry> order() const;

private:
    size_t destinTitles() const { return m_destin.size() - 1; }
    void sortSource();

    std::vector<TitleEntry> m_source;
    std::vector<TitleEntry> m_destin;
    size_t m_sourceCurrent = 0;
    size_t m_destinCurrent = 0;
    List m_focus = List::Source;
    bool m_accepted = false;
};

}  // namespace klango::output

#include "output/playlist_sort_model.h"

#include <algorithm>

namespace klango::output {

const std::vector<PlaylistSortModel::ButtonText>& PlaylistSortModel::buttons() {
    static const std::vector<ButtonText> list = {
        {Button::AllOver, ">>", "Alle Titel anf\xFCgen", "Alle Titel \xFC" "bertragen"},
        {Button::OneOver, ">", "Diesen Titel anf\xFCgen", "Nur diesen Titel \xFC" "bertragen"},
        {Button::OneBack, "<", "Diesen Titel l\xF6schen", "Nur diesen Titel entfernen"},
        {Button::AllBack, "<<", "Alle Titel l\xF6schen", "Alle Titel entfernen"},
        {Button::AllOverText, "&Alle \xFC" "bertragen", "", "Alle Titel \xFC" "bertragen"},
        {Button::AllBackText, "Alle &entfernen", "", "Alle Titel entfernen"},
        {Button::Continue, "&Weiter", "Playliste schreiben", ""},
        {Button::Stop, "&Unterbrechen", "Datenexport unterbrechen", ""},
    };
    return list;
}

PlaylistSortModel::PlaylistSortModel(std::vector<TitleEntry> source) : m_source(std::move(source)) {
    m_destin.push_back({kFirstEndMarker, 0});
}

void PlaylistSortModel::setSourceCurrent(size_t i) {
    if (i < m_source.size()) m_sourceCurrent = i;
}

void PlaylistSortModel::setDestinCurrent(size_t i) {
    if (i < m_destin.size()) m_destinCurrent = i;
}

// Plain character-code order; equal texts keep their records in table order.
void PlaylistSortModel::sortSource() {
    std::stable_sort(m_source.begin(), m_source.end(), [](const TitleEntry& a, const TitleEntry& b) {
        if (a.text != b.text) return a.text < b.text;
        return a.recno < b.recno;
    });
}

bool PlaylistSortModel::enabled(Button button) const {
    switch (button) {
        case Button::OneOver:
            return !m_source.empty();
        case Button::AllOver:
        case Button::AllOverText:
            return !m_source.empty() && destinTitles() == 0;
        case Button::OneBack:
        case Button::AllBack:
        case Button::AllBackText:
        case Button::Continue:
            return destinTitles() > 0;
        case Button::Stop:
            return true;
    }
    return false;
}

void PlaylistSortModel::M3USORT2(int nAction) {
    switch (nAction) {
        case 1: {
            if (!enabled(Button::AllOver)) return;
            TitleEntry marker = m_destin.back();
            m_destin = std::move(m_source);
            m_destin.push_back(std::move(marker));
            m_source.clear();
            m_sourceCurrent = 0;
            m_destinCurrent = 0;
            m_focus = List::Destination;
            break;
        }
        case 2: {
            if (!enabled(Button::OneOver)) return;
            const size_t from = std::min(m_sourceCurrent, m_source.size() - 1);
            TitleEntry moved = m_source[from];
            m_source.erase(m_source.begin() + long(from));
            m_destin.insert(m_destin.begin() + long(std::min(m_destinCurrent, destinTitles())), std::move(moved));
            sortSource();
            m_sourceCurrent = 0;
            m_destinCurrent = m_destin.size() - 1;
            break;
        }
        case 3: {
            if (m_destinCurrent >= destinTitles()) return;  // the end marker never moves
            TitleEntry moved = m_destin[m_destinCurrent];
            m_destin.erase(m_destin.begin() + long(m_destinCurrent));
            m_source.push_back(moved);
            sortSource();
            for (size_t i = 0; i < m_source.size(); ++i) {
                if (m_source[i].recno == moved.recno && m_source[i].text == moved.text) m_sourceCurrent = i;
            }
            m_destinCurrent = m_destin.size() - 1;
            break;
        }
        case 4: {
            if (!enabled(Button::AllBack)) return;
            m_source.insert(m_source.end(), m_destin.begin(), m_destin.end() - 1);
            sortSource();
            m_destin.assign(1, TitleEntry{kEndMarker, 0});
            m_sourceCurrent = 0;
            m_destinCurrent = 0;
            m_focus = List::Source;
            break;
        }
        default:
            return;
    }
    changed();
}

void PlaylistSortModel::press(Button button) {
    if (!enabled(button)) return;
    switch (button) {
        case Button::AllOver:
        case Button::AllOverText:
            M3USORT2(1);
            return;
        case Button::OneOver:
            M3USORT2(2);
            return;
        case Button::OneBack:
            M3USORT2(3);
            return;
        case Button::AllBack:
        case Button::AllBackText:
            M3USORT2(4);
            return;
        case Button::Continue:
            m_accepted = true;
            requestClose();
            return;
        case Button::Stop:
            requestClose();
            return;
    }
}

void PlaylistSortModel::sourceActivated(size_t i) {
    if (i >= m_source.size()) return;
    m_sourceCurrent = i;
    M3USORT2(2);
}

void PlaylistSortModel::destinActivated(size_t i) {
    if (i >= m_destin.size()) return;
    m_destinCurrent = i;
    M3USORT2(3);
}

std::vector<TitleEntry> PlaylistSortModel::order() const {
    return {m_destin.begin(), m_destin.end() - 1};
}

}  // namespace klango::output

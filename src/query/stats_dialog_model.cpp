#include "query/stats_dialog_model.h"

#include <cmath>

namespace klango::query {

StatsDialogModel::StatsDialogModel(StatFigures figures, More more)
    : m_figures(figures), m_more(std::move(more)), m_note(timeNote(figures)), m_noteColors(timeNoteColors(figures)) {}

std::vector<std::pair<std::string, std::string>> StatsDialogModel::lines() const {
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        return s;
    };
    return {
        {"Interpreten", trim(artistsText())},
        {"Songtitel", trim(titlesText())},
        {"Alben", trim(albumsText())},
        {"Musikrichtungen", trim(genresText())},
        {"Laufzeit", trim(hoursText()) + " Std. " + trim(minutesText()) + " Min. " + trim(secondsText()) + " Sek."},
        {"gespielte Titel", trim(playedText()) + " = " + trim(percentText()) + " %"},
        {"Kapazit\xE4t", trim(sizeText()) + " MBytes"},
    };
}

void StatsDialogModel::more() {
    if (!canMore()) return;
    m_busy = true;
    m_note = kMoreNote;
    m_noteColors = "N/W";
    changed();
    if (m_more) m_more(*this);
    m_busy = false;
    requestClose();
}

void StatsDialogModel::close() {
    if (canClose()) requestClose();
}

void StatsDialogModel::setProgress(long position, long total) {
    m_position = position;
    m_total = total;
    changed();
}

AllStatsDialogModel::AllStatsDialogModel(std::vector<DatabaseStats> rows)
    : m_rows(std::move(rows)), m_summary(summaryLine(grandTotals(m_rows))) {}

std::string AllStatsDialogModel::cellText(int r, int column) const {
    if (r < 0 || r >= rowCount()) return {};
    const StatFigures& f = m_rows[size_t(r)].figures;
    switch (column) {
        case 0:
            return " " + m_rows[size_t(r)].name;
        case 1:
            return wholeNumber(double(f.artists), 9) + " ";
        case 2:
            return wholeNumber(double(f.albums), 9) + " ";
        case 3:
            return wholeNumber(double(f.titles), 9) + " ";
        case 4:
            return wholeNumber(double(f.genres), 9) + " ";
        case 5:
            return wholeNumber(double(f.sums.played), 3) + " ";
        case 6:
            return wholeNumber(std::round(f.percent()), 3) + " ";
        case 7:
            return pictureNumber(f.sums.size(), 10, 2, true) + " ";
        case 8:
            return " " + playTimeText(f);
        default:
            return {};
    }
}

}  // namespace klango::query

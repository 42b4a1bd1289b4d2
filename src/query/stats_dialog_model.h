// The two statistics dialogs as models: "Statistik zur geöffneten Datenbank" (the figures of the
// open database, the time note, "&Mehr" for all databases with its progress bar) and "Statistik
// aller MP3-Datenbanken" (a row per database and the grand totals). Built by Statistics; the Qt
// view (StatsDialogView) and the tests read them.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "query/statistics.h"
#include "ui/dialog_model.h"

namespace klango::query {

class StatsDialogModel : public ui::DialogModel {
public:
    static constexpr const char* kTitle = "Statistik zur ge\xF6" "ffneten Datenbank";
    static constexpr const char* kHelpTopic = "Statistik anzeigen";
    static constexpr const char* kMoreNote = "Es werden nun alle MP3-Datenbanken ausgewertet ...";

    using More = std::function<void(StatsDialogModel&)>;
    StatsDialogModel(StatFigures figures, More more);

    std::string title() const override { return kTitle; }
    std::string helpTopic() const override { return kHelpTopic; }
    const StatFigures& figures() const { return m_figures; }

    // The shown figures, whole however large ("99999", "999", "@E 999.99", "@E 9,999,999.99").
    std::string artistsText() const { return wholeNumber(double(m_figures.artists), 5); }
    std::string titlesText() const { return wholeNumber(double(m_figures.titles), 5); }
    std::string albumsText() const { return wholeNumber(double(m_figures.albums), 5); }
    std::string genresText() const { return wholeNumber(double(m_figures.genres), 5); }
    std::string hoursText() const { return wholeNumber(double(m_figures.hours()), 3); }
    std::string minutesText() const { return wholeNumber(m_figures.minutesPart(), 2); }
    std::string secondsText() const { return wholeNumber(m_figures.secondsPart(), 2); }
    std::string playedText() const { return wholeNumber(double(m_figures.sums.played), 5); }
    std::string percentText() const { return pictureNumber(m_figures.percent(), 6, 2, false); }
    std::string sizeText() const { return pictureNumber(m_figures.sums.size(), 12, 2, true); }
    // label: value lines as the command line prints them.
    std::vector<std::pair<std::string, std::string>> lines() const;

    const std::string& note() const { return m_note; }
    const std::string& noteColors() const { return m_noteColors; }

    bool canMore() const { return !m_busy; }
    bool canClose() const { return !m_busy; }
    void more();   // "&Mehr": all databases, then the dialog closes
    void close();  // "&Beenden"

    void setProgress(long position, long total);
    bool progressVisible() const { return m_total > 0; }
    long position() const { return m_position; }
    long total() const { return m_total; }

private:
    StatFigures m_figures;
    More m_more;
    std::string m_note;
    std::string m_noteColors;
    bool m_busy = false;
    long m_position = 0;
    long m_total = 0;
};

class AllStatsDialogModel : public ui::DialogModel {
public:
    static constexpr const char* kTitle = "Statistik aller MP3-Datenbanken";
    static constexpr int kColumns = 9;
    static constexpr std::array<const char*, kColumns> kHeadings = {
        " Datenbank", "Interpreten ", "Alben ", "Song-Titel ", "Genres ", "Gespielt ", "% ", "Gr\xF6\xDF" "e ", " Laufzeit"};
    static constexpr std::array<int, kColumns> kWidths = {150, 60, 50, 60, 50, 60, 30, 60, 60};
    static constexpr std::array<bool, kColumns> kRightAligned = {false, true, true, true, true, true, true, true, false};

    explicit AllStatsDialogModel(std::vector<DatabaseStats> rows);

    std::string title() const override { return kTitle; }
    std::string helpTopic() const override { return StatsDialogModel::kHelpTopic; }

    int rowCount() const { return int(m_rows.size()); }
    const DatabaseStats& row(int r) const { return m_rows[size_t(r)]; }
    std::string cellText(int row, int column) const;
    const std::string& summary() const { return m_summary; }
    void close() { requestClose(); }  // "&Beenden"

private:
    std::vector<DatabaseStats> m_rows;
    std::string m_summary;
};

}  // namespace klango::query

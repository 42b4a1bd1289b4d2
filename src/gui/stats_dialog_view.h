// StatsDialogView and AllStatsDialogView: the Qt dialogs "Statistik zur geöffneten Datenbank"
// (the framed figures, the time note in its colours, the progress bar of "&Mehr") and "Statistik
// aller MP3-Datenbanken" (the read-only grid of the databases and the grand totals), bound to
// their models. Made by QtUi through the factories that registerWith installs; GUI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <functional>

namespace klango::query {
class StatsDialogModel;
class AllStatsDialogModel;
}  // namespace klango::query

namespace klango::gui {

class QtUi;

class StatsDialogView : public QDialog {
    Q_OBJECT
public:
    StatsDialogView(query::StatsDialogModel& model, std::function<void()> help, QWidget* parent = nullptr);
    ~StatsDialogView() override;

    // Both statistics dialogs.
    static void registerWith(QtUi& ui);

    QLabel* note() const { return m_note; }
    QPushButton* moreButton() const { return m_more; }

    void reject() override;  // not while all databases are being evaluated

private:
    void refresh();

    query::StatsDialogModel& m_model;
    QLabel* m_note;
    QProgressBar* m_bar;
    QPushButton* m_more;
    QPushButton* m_close;
};

class AllStatsDialogView : public QDialog {
    Q_OBJECT
public:
    AllStatsDialogView(query::AllStatsDialogModel& model, QWidget* parent = nullptr);

    QTableWidget* grid() const { return m_grid; }
    QLabel* summary() const { return m_summary; }

private:
    QTableWidget* m_grid;
    QLabel* m_summary;
};

}  // namespace klango::gui

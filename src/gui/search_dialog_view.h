// SearchDialogView: the Qt dialog "Suchmaschine" bound to a SearchDialogModel: the three search
// fields with their links, the free-word field, "in allen Datenbanken", the progress frame and
// "&Leeren", "&Starten", "&Hilfe", "&Abbrechen". Escape and the close box stop a running search
// and otherwise leave it like "&Abbrechen". Made by QtUi through the factory that registerWith
// installs; GUI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <functional>

namespace klango::query {
class SearchDialogModel;
}

namespace klango::gui {

class QtUi;

class SearchDialogView : public QDialog {
    Q_OBJECT
public:
    SearchDialogView(query::SearchDialogModel& model, std::function<void()> help, QWidget* parent = nullptr);
    ~SearchDialogView() override;

    static void registerWith(QtUi& ui);

    // Artist, album, song title, free words.
    QLineEdit* field(int n) const { return m_fields[size_t(n)]; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* cancelButton() const { return m_cancel; }
    QCheckBox* inAllBox() const { return m_inAll; }

    void reject() override;

private:
    void refresh();

    query::SearchDialogModel& m_model;
    std::array<QLineEdit*, 4> m_fields{};
    QComboBox* m_link1;
    QComboBox* m_link2;
    QCheckBox* m_inAll;
    QLabel* m_file;
    QProgressBar* m_bar;
    QPushButton* m_clear;
    QPushButton* m_start;
    QPushButton* m_help;
    QPushButton* m_cancel;
};

}  // namespace klango::gui

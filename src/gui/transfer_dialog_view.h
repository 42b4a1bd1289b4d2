// TransferDialogView: the Qt dialog "Datenkopie erstellen" bound to a TransferDialogModel: the
// destination with its "..." button, the selection, the rating, the option boxes, the copy
// database's name, the progress text and meter, free and needed space, and "&Kopieren", "&Hilfe",
// "&Abbruch". While a copy runs, "&Abbruch", Escape and the close box stop it. Made by QtUi through
// the factory that registerWith installs; GUI thread only.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>

#include "output/transfer_dialog_model.h"

namespace klango::gui {

class QtUi;

class TransferDialogView : public QDialog {
    Q_OBJECT
public:
    TransferDialogView(output::TransferDialogModel& model, QWidget* parent = nullptr,
                       std::function<void()> showHelp = {});
    ~TransferDialogView() override;

    // Makes ui show this view for every TransferDialogModel it runs; "&Hilfe" shows ui's help.
    static void registerWith(QtUi& ui);

    QLineEdit* destinationField() const { return m_destination; }
    QPushButton* browseButton() const { return m_browse; }
    QRadioButton* allButton() const { return m_all; }
    QRadioButton* ratingButton() const { return m_rating; }
    QSpinBox* noteField() const { return m_note; }
    QCheckBox* taggedBox() const { return m_tagged; }
    QCheckBox* structureBox() const { return m_structure; }
    QCheckBox* artistBox() const { return m_artist; }
    QCheckBox* albumBox() const { return m_album; }
    QCheckBox* numberBox() const { return m_number; }
    QCheckBox* databaseBox() const { return m_database; }
    QCheckBox* openAfterBox() const { return m_openAfter; }
    QLineEdit* databaseField() const { return m_databaseName; }
    QLabel* progressText() const { return m_progress; }
    QProgressBar* meter() const { return m_meter; }
    QLabel* freeField() const { return m_free; }
    QLabel* neededField() const { return m_needed; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* helpButton() const { return m_help; }
    QPushButton* abortButton() const { return m_abort; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();

    output::TransferDialogModel& m_model;
    QLineEdit* m_destination;
    QPushButton* m_browse;
    QRadioButton* m_all;
    QRadioButton* m_rating;
    QSpinBox* m_note;
    QCheckBox* m_tagged;
    QCheckBox* m_structure;
    QCheckBox* m_artist;
    QCheckBox* m_album;
    QCheckBox* m_number;
    QCheckBox* m_database;
    QCheckBox* m_openAfter;
    QLineEdit* m_databaseName;
    QLabel* m_progress;
    QProgressBar* m_meter;
    QLabel* m_free;
    QLabel* m_needed;
    QPushButton* m_copy;
    QPushButton* m_help;
    QPushButton* m_abort;
    bool m_refreshing = false;
};

}  // namespace klango::gui

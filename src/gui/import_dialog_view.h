// ImportDialogView: the Qt dialog "MP3-Import" bound to an ImportDialogModel: the picture with the
// intro text, the framed "Pfad" and "Datei" fields, the progress bar and "&Unterbrechen".
// Made by QtUi through the factory that registerWith installs; GUI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace klango::trackdb {
class ImportDialogModel;
}

namespace klango::gui {

class QtUi;

class ImportDialogView : public QDialog {
    Q_OBJECT
public:
    ImportDialogView(trackdb::ImportDialogModel& model, QWidget* parent = nullptr);
    ~ImportDialogView() override;

    // Makes ui show this view for every ImportDialogModel it runs.
    static void registerWith(QtUi& ui);

    QLabel* picture() const { return m_picture; }
    QLabel* intro() const { return m_intro; }
    QLabel* pathField() const { return m_path; }
    QLabel* fileField() const { return m_file; }
    QProgressBar* bar() const { return m_bar; }
    QPushButton* interruptButton() const { return m_interrupt; }

private:
    // Shows the model's current fields and progress.
    void refresh();

    trackdb::ImportDialogModel& m_model;
    QLabel* m_picture;
    QLabel* m_intro;
    QLabel* m_path;
    QLabel* m_file;
    QProgressBar* m_bar;
    QPushButton* m_interrupt;
};

}  // namespace klango::gui

// PlaylistExportView: the Qt dialog " Playliste erzeugen" bound to a PlaylistExportModel: three
// check boxes, the radio pair append/new, the file name field and the buttons "&Weiter",
// "&Hilfe", "&Ende". Every change goes to the model. Made by QtUi through registerWith.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "output/playlist_export_model.h"

namespace klango::gui {

class QtUi;

class PlaylistExportView : public QDialog {
    Q_OBJECT
public:
    PlaylistExportView(output::PlaylistExportModel& model, QWidget* parent = nullptr,
                       std::function<void()> showHelp = {});
    static void registerWith(QtUi& ui);

    QCheckBox* taggedBox() const { return m_tagged; }
    QCheckBox* playNowBox() const { return m_playNow; }
    QCheckBox* delMarkBox() const { return m_delMark; }
    QRadioButton* appendButton() const { return m_append; }
    QRadioButton* newButton() const { return m_new; }
    QLineEdit* nameField() const { return m_name; }
    QPushButton* continueButton() const { return m_continue; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    output::PlaylistExportModel& m_model;
    QCheckBox* m_tagged = nullptr;
    QCheckBox* m_playNow = nullptr;
    QCheckBox* m_delMark = nullptr;
    QRadioButton* m_append = nullptr;
    QRadioButton* m_new = nullptr;
    QLineEdit* m_name = nullptr;
    QPushButton* m_continue = nullptr;
    bool m_firstKey = true;  // the first key typed replaces the whole name
};

}  // namespace klango::gui

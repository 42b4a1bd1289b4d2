// The two small dialogs of the copy run: the media list "Datenkopie erstellen" (MediaListView,
// over a MediaListModel) and the medium change "Fehler bei Datenkopie erstellen" (MediumChangeView,
// over a MediumChangeModel), each with "&Weiter" and "&Unterbrechen". Made by QtUi through the
// factories that registerWith installs; GUI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "output/transfer_media.h"

namespace klango::gui {

class QtUi;

class MediaListView : public QDialog {
    Q_OBJECT
public:
    MediaListView(output::MediaListModel& model, QWidget* parent = nullptr);
    QListWidget* list() const { return m_list; }
    QPushButton* proceedButton() const { return m_proceed; }
    QPushButton* interruptButton() const { return m_interrupt; }

protected:
    void reject() override;

private:
    output::MediaListModel& m_model;
    QListWidget* m_list;
    QPushButton* m_proceed;
    QPushButton* m_interrupt;
};

class MediumChangeView : public QDialog {
    Q_OBJECT
public:
    MediumChangeView(output::MediumChangeModel& model, QWidget* parent = nullptr);
    ~MediumChangeView() override;
    QLabel* errorLabel() const { return m_error; }
    QLabel* nameLabel() const { return m_name; }
    QPushButton* proceedButton() const { return m_proceed; }
    QPushButton* interruptButton() const { return m_interrupt; }

protected:
    void reject() override;

private:
    output::MediumChangeModel& m_model;
    QLabel* m_error;
    QLabel* m_name;
    QPushButton* m_proceed;
    QPushButton* m_interrupt;
};

// Registers both views with ui.
void registerTransferMediaViews(QtUi& ui);

}  // namespace klango::gui

// PlaylistSortView: the Qt dialog " Playliste sortieren" bound to a PlaylistSortModel: the list
// of titles left ("Ausgewählte Titel"), the sorted list right ("Sortierte Titel"), the four move
// buttons between them and the button row below, each enabled as the model says; a button under
// the pointer shows its message-bar text. Made by QtUi through registerWith.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <map>
#include <string>

#include "output/playlist_sort_model.h"

namespace klango::gui {

class QtUi;

class PlaylistSortView : public QDialog {
    Q_OBJECT
public:
    using Button = output::PlaylistSortModel::Button;
    PlaylistSortView(output::PlaylistSortModel& model, QWidget* parent = nullptr,
                     std::function<void(const std::string&)> showMessage = {});
    static void registerWith(QtUi& ui);

    QListWidget* sourceList() const { return m_source; }
    QListWidget* destinList() const { return m_destin; }
    QPushButton* button(Button b) const { return m_buttons.at(b); }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    output::PlaylistSortModel& m_model;
    std::function<void(const std::string&)> m_showMessage;
    QListWidget* m_source = nullptr;
    QListWidget* m_destin = nullptr;
    std::map<Button, QPushButton*> m_buttons;
    std::map<QObject*, std::string> m_messages;
};

}  // namespace klango::gui

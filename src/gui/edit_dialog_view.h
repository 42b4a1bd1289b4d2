// EditDialogView: the Qt dialog "Datensatz editieren" bound to an EditDialogModel: the framed
// labels and fields of one track record in two columns and the buttons "&Speichern", "&Hilfe",
// "&Beenden". Every keystroke and edit goes through the model. Made by QtUi through the factory
// that registerWith installs; GUI thread only.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>

#include "table/edit_dialog_model.h"

namespace klango::gui {

class QtUi;

class EditDialogView : public QDialog {
    Q_OBJECT
public:
    // showHelp is what "&Hilfe" opens (the help at the current topic); empty: the button does
    // nothing beyond asking the model.
    EditDialogView(table::EditDialogModel& model, QWidget* parent = nullptr,
                   std::function<void()> showHelp = {});
    ~EditDialogView() override;

    // Makes ui show this view for every EditDialogModel it runs; "&Hilfe" shows ui's help.
    static void registerWith(QtUi& ui);

    // The widgets by the model's slots (EditDialogModel::Slot). hint() is null for a field
    // without hint; for "gespielt" it is the "mal" after the field.
    QLineEdit* field(int slot) const { return m_fields.at(size_t(slot)); }
    QLabel* label(int slot) const { return m_labels.at(size_t(slot)); }
    QLabel* hint(int slot) const { return m_hints.at(size_t(slot)); }
    QGroupBox* frame() const { return m_frame; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* helpButton() const { return m_help; }
    QPushButton* quitButton() const { return m_quit; }

    // Close box and Escape: "&Beenden".
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the model's values in every field whose text differs.
    void refresh();
    int slotOf(QObject* watched) const;
    // Typed text of a key press or an input method: through the model's typing rule.
    void typed(int slot, const QString& text);
    // Any other edit: the whole new text through the model, or back to the model's value.
    void edited(int slot, const QString& text);

    table::EditDialogModel& m_model;
    QGroupBox* m_frame = nullptr;
    std::array<QLineEdit*, table::EditDialogModel::kFieldCount> m_fields{};
    std::array<QLabel*, table::EditDialogModel::kFieldCount> m_labels{};
    std::array<QLabel*, table::EditDialogModel::kFieldCount> m_hints{};
    QPushButton* m_save = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_quit = nullptr;
    int m_resumeSlot = -1;  // the field that lost the focus only to another window or a popup
};

}  // namespace klango::gui

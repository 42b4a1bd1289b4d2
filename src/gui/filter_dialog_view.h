// FilterDialogView: the Qt dialog "Daten filtern" bound to a FilterDialogModel: the radio group
// of the six criteria, the list of values (several selectable, a click toggles), "&Weiter",
// "&Hilfe", "&Unterbrechen". Escape and the close box leave it like "&Unterbrechen".
// Made by QtUi through the factory that registerWith installs; GUI thread only.
#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <functional>

namespace klango::query {
class FilterDialogModel;
}

namespace klango::gui {

class QtUi;

class FilterDialogView : public QDialog {
    Q_OBJECT
public:
    FilterDialogView(query::FilterDialogModel& model, std::function<void()> help, QWidget* parent = nullptr);
    ~FilterDialogView() override;

    static void registerWith(QtUi& ui);

    QButtonGroup* criteria() const { return m_criteria; }
    QListWidget* list() const { return m_list; }
    QPushButton* proceedButton() const { return m_proceed; }

    void reject() override;

private:
    void refresh();
    void selectionChanged();

    query::FilterDialogModel& m_model;
    QButtonGroup* m_criteria;
    QListWidget* m_list;
    QPushButton* m_proceed;
    int m_shownCriterion = 0;
    bool m_updating = false;
};

}  // namespace klango::gui

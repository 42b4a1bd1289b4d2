// ErrorDialogView: the error handler's dialog bound to an ErrorDialogModel: the picture, the
// description line ("&" shown as such), "&Stackliste" with the routine stack, "Siehe Error.log
// Datei" and the buttons in the model's order. Made by QtUi through registerWith; GUI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <vector>

namespace klango::support {
class ErrorDialogModel;
}

namespace klango::gui {

class QtUi;

class ErrorDialogView : public QDialog {
    Q_OBJECT
  public:
    ErrorDialogView(support::ErrorDialogModel& model, QWidget* parent = nullptr);
    static void registerWith(QtUi& ui);

    QLabel* description() const { return m_description; }
    QListWidget* stackList() const { return m_stack; }
    const std::vector<QPushButton*>& buttons() const { return m_buttons; }

  private:
    support::ErrorDialogModel& m_model;
    QLabel* m_description;
    QListWidget* m_stack;
    std::vector<QPushButton*> m_buttons;
};

}  // namespace klango::gui

// MailSetupView: the dialog "EMail-Einstellungen" bound to a MailSetupModel: the intro, "Name" and
// "Email" with their fields (the address has the focus), "&Speichern" and "&Beenden". Made by
// QtUi through registerWith; GUI thread only.
#pragma once

#include <QDialog>
#include <QLineEdit>

namespace klango::support {
class MailSetupModel;
}

namespace klango::gui {

class QtUi;

class MailSetupView : public QDialog {
    Q_OBJECT
  public:
    MailSetupView(support::MailSetupModel& model, QtUi& ui, QWidget* parent = nullptr);
    static void registerWith(QtUi& ui);

    QLineEdit* nameField() const { return m_name; }
    QLineEdit* emailField() const { return m_email; }

  private:
    support::MailSetupModel& m_model;
    QLineEdit* m_name;
    QLineEdit* m_email;
};

}  // namespace klango::gui

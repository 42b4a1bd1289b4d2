// MailPreviewView: the whole text of a support mail, read-only, with "&Senden" and "&Abbrechen",
// bound to a MailPreviewModel: nothing is sent unless the user agrees here. Made by QtUi through
// registerWith; GUI thread only.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace klango::support {
class MailPreviewModel;
}

namespace klango::gui {

class QtUi;

class MailPreviewView : public QDialog {
    Q_OBJECT
  public:
    MailPreviewView(support::MailPreviewModel& model, QWidget* parent = nullptr);
    static void registerWith(QtUi& ui);

    QPlainTextEdit* textField() const { return m_text; }
    QPushButton* sendButton() const { return m_send; }

  private:
    support::MailPreviewModel& m_model;
    QPlainTextEdit* m_text;
    QPushButton* m_send;
};

}  // namespace klango::gui

// UpdateDialogView: the Qt dialog "Datenbank-Update" bound to an UpdateDialogModel: the warning,
// the database in work, the meter and "&Unterbrechen"; Escape and the close box stop like the
// button (the database in work is finished first). Made by QtUi through registerWith.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace klango::settings {
class UpdateDialogModel;
}

namespace klango::gui {

class QtUi;

class UpdateDialogView : public QDialog {
    Q_OBJECT
  public:
    explicit UpdateDialogView(settings::UpdateDialogModel& model, QWidget* parent = nullptr);
    ~UpdateDialogView() override;
    static void registerWith(QtUi& ui);

    QLabel* fileField() const { return m_file; }
    QProgressBar* bar() const { return m_bar; }
    QPushButton* interruptButton() const { return m_interrupt; }

  protected:
    void reject() override;

  private:
    void refresh();

    settings::UpdateDialogModel& m_model;
    QLabel* m_file;
    QProgressBar* m_bar;
    QPushButton* m_interrupt;
};

}  // namespace klango::gui

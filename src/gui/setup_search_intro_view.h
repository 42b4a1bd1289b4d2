// SetupSearchIntroView: the small dialog "WinAmp suchen" that asks before the player search runs
// ("&Weiter" / "&Abbruch"), bound to a SearchIntroModel. Made by QtUi through registerWith.
#pragma once

#include <QDialog>
#include <QPushButton>

namespace klango::settings {
class SearchIntroModel;
}

namespace klango::gui {

class QtUi;

class SetupSearchIntroView : public QDialog {
    Q_OBJECT
  public:
    explicit SetupSearchIntroView(settings::SearchIntroModel& model, QWidget* parent = nullptr);
    static void registerWith(QtUi& ui);

    QPushButton* goButton() const { return m_go; }
    QPushButton* cancelButton() const { return m_cancel; }

  protected:
    void reject() override;

  private:
    settings::SearchIntroModel& m_model;
    QPushButton* m_go;
    QPushButton* m_cancel;
};

}  // namespace klango::gui

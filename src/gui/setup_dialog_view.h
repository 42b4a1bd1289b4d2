// SetupDialogView: the Qt dialog "Einstellungen" bound to a SetupDialogModel: the four pages
// "Start&up", "&WinAmp", "Player &2" and "&Tabelle" and the buttons "&Speichern", "&Hilfe" and
// "&Ende". Made by QtUi through the factory that registerWith installs; GUI thread only.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <array>
#include <functional>

namespace klango::settings {
class SetupDialogModel;
}

namespace klango::gui {

class QtUi;

class SetupDialogView : public QDialog {
    Q_OBJECT
  public:
    SetupDialogView(settings::SetupDialogModel& model, std::function<void()> help, QWidget* parent = nullptr);
    ~SetupDialogView() override;

    // Makes ui show this view for every SetupDialogModel it runs.
    static void registerWith(QtUi& ui);

    QTabWidget* tabs() const { return m_tabs; }
    QLineEdit* ampPathField() const { return m_ampPath; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* interruptButton() const { return m_interrupt; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* endButton() const { return m_end; }
    QCheckBox* ampUseIt() const { return m_ampUseIt; }
    QCheckBox* pl2UseIt() const { return m_pl2UseIt; }
    QCheckBox* markDate() const { return m_markDate; }
    QCheckBox* markHour() const { return m_markHour; }
    QRadioButton* fontSize(int n) const { return m_font[n - 1]; }

  protected:
    // Escape and the close box: as "&Ende"; during a search the search stops first.
    void reject() override;

  private:
    QWidget* startupPage();
    QWidget* winampPage();
    QWidget* player2Page();
    QWidget* tablePage();
    void refresh();

    settings::SetupDialogModel& m_model;
    std::function<void()> m_help;
    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_autoOpen = nullptr;
    QCheckBox* m_autoStart = nullptr;
    QLineEdit* m_ampPath = nullptr;
    QToolButton* m_ampPick = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_interrupt = nullptr;
    QCheckBox* m_ampAddPl = nullptr;
    QCheckBox* m_ampUseIt = nullptr;
    QLineEdit* m_pl2Path = nullptr;
    QToolButton* m_pl2Pick = nullptr;
    QLineEdit* m_pl2List = nullptr;
    QToolButton* m_pl2ListPick = nullptr;
    QCheckBox* m_pl2AddPl = nullptr;
    QCheckBox* m_pl2UseIt = nullptr;
    QCheckBox* m_markDate = nullptr;
    QCheckBox* m_markHour = nullptr;
    QCheckBox* m_markSort = nullptr;
    QCheckBox* m_showTrak = nullptr;
    std::array<QRadioButton*, 3> m_dblClick{};
    std::array<QRadioButton*, 3> m_font{};
    QPushButton* m_save = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_end = nullptr;
};

}  // namespace klango::gui

// ErrorLogReviewView: the dialog "Fehler-Protokoll" bound to an ErrorLogReviewModel: the picture
// "StopMax", the two texts, the three choices and "&Weiter", "&Hilfe", "&Abbrechen". Made by QtUi
// through registerWith (which also gets the help to show); GUI thread only.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <vector>

namespace klango::support {
class ErrorLogReviewModel;
}

namespace klango::gui {

class QtUi;

class ErrorLogReviewView : public QDialog {
    Q_OBJECT
  public:
    ErrorLogReviewView(support::ErrorLogReviewModel& model, std::function<void()> help,
                       QWidget* parent = nullptr);
    ~ErrorLogReviewView() override;
    static void registerWith(QtUi& ui, std::function<void()> help);

    const std::vector<QRadioButton*>& choices() const { return m_choices; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* cancelButton() const { return m_cancel; }

  private:
    support::ErrorLogReviewModel& m_model;
    std::vector<QRadioButton*> m_choices;
    QPushButton* m_next;
    QPushButton* m_cancel;
};

}  // namespace klango::gui

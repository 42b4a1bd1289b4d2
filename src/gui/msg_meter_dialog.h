// The window of MSGMETER: a small modal "Bitte warten" window with a text line and a progress
// bar, in which a command runs. The command gets a Meter; every change of the meter redraws the
// window and lets pending events through (throttled by the Ui). Made by QtUi::runWithMeter.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <functional>

#include "ui/meter.h"

namespace klango::gui {

class MsgMeterDialog : public QDialog {
    Q_OBJECT
public:
    // processEvents lets pending events through after each change (the Ui's throttled call).
    MsgMeterDialog(const QString& title, const QString& text, std::function<void()> processEvents,
                   QWidget* parent = nullptr);

    // Shows the window, runs action with the window's meter and closes the window when action
    // returns; the meter's stop flag is then set.
    void run(const ui::MeterAction& action);

    QLabel* textLine() const { return m_text; }
    QProgressBar* bar() const { return m_bar; }
    // Called after every change of the meter, after the window was updated (for tests).
    std::function<void(const MsgMeterDialog&)> onUpdated;

private:
    class View;
    void update(const ui::Meter& meter);

    QLabel* m_text;
    QProgressBar* m_bar;
    std::function<void()> m_processEvents;
};

}  // namespace klango::gui

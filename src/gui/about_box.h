// The about box (ABOUTINFO): a modal dialog of 320 by 200 pixels titled CRELEASE, black on
// white, with the "About" picture at the top, three short text blocks and (not on the start
// screen) a close button. A left click closes it;
// as the start screen (ABOUTWAIT) it also closes itself three seconds after it was first painted.
// Made by the entry routine and by the "&Über Klango" command, on the GUI thread.
#pragma once

#include <QDialog>
#include <QTimer>

namespace klango::gui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 200;
    static constexpr int kStartScreenMs = 3000;

    AboutBox(const QString& release, bool start, QWidget* parent = nullptr);

    bool isStartScreen() const { return m_start; }
    // The start screen's timer runs from the first painting until the dialog closes.
    bool timerRunning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void done(int result) override;

private:
    void ABOUTWAIT();

    bool m_start;
    bool m_painted = false;
    QTimer m_timer;
};

}  // namespace klango::gui

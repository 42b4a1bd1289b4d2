// GuardedApplication: the desktop program's QApplication. A C++ exception that would leave an
// event handler and reach the event loop is handed to the error handler as an error record, so
// that it is logged and the user chooses as for any other error. Made once by the entry routine.
#pragma once

#include <QApplication>

namespace klango::gui {

class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace klango::gui

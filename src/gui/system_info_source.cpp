#include "gui/system_info_source.h"

#include <QGuiApplication>
#include <QScreen>

namespace klango::gui {

std::function<support::TSystemInfo()> systemInfoSource() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int bits = screen ? screen->depth() : 0;
    return [bits] {
        support::TSystemInfo info;
        info.setDisplayBits(bits);
        return info;
    };
}

}  // namespace klango::gui

#include "gui/dialog_style.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <algorithm>
#include <array>

#include "shell/rx_helpers.h"
#include "gui/qt_text.h"

namespace klango::gui {

QFont dialogFont(const shell::FontDescription& font) {
    QFont f(QString::fromStdString(font.family));
    f.setStyleHint(QFont::SansSerif);
    f.setFamilies({QString::fromStdString(font.family), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    f.setPointSize(font.height > 0 ? font.height : 8);
    f.setBold(font.bold);
    return f;
}

QColor toQColor(const ui::Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

void applyColorString(QWidget* widget, std::string_view colors) {
    const ui::ColorPair pair = ui::colorPairOr(colors);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, toQColor(pair.foreground));
    pal.setColor(QPalette::Text, toQColor(pair.foreground));
    pal.setColor(QPalette::Window, toQColor(pair.background));
    pal.setColor(QPalette::Base, toQColor(pair.background));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void centreOn(QWidget* window, const QRect& over) {
    const QScreen* screen = QGuiApplication::screenAt(over.center());
    if (!screen) screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->availableGeometry() : QRect();
    // A window that was never shown has no frame yet: its frame is allowed for.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() - window->size()
                                            : QSize(kFrameAllowanceWidth, kFrameAllowanceHeight);
    if (desk.isValid()) {
        const QSize room = desk.size() - frame;
        if (window->width() > room.width() || window->height() > room.height())
            window->resize(std::max(1, std::min(window->width(), room.width())),
                           std::max(1, std::min(window->height(), room.height())));
    }
    const QSize outer = window->size() + frame;
    std::array<int, 8> rect{0, 0, window->height(), window->width(), 0, 0, 0, 0};
    shell::RX_CENTERDIALOG(rect, over.top(), over.left(), over.top() + over.height(), over.left() + over.width());
    int top = rect[4], left = rect[5];
    if (desk.isValid()) {
        top = std::clamp(top, desk.top(), std::max(desk.top(), desk.top() + desk.height() - outer.height()));
        left = std::clamp(left, desk.left(), std::max(desk.left(), desk.left() + desk.width() - outer.width()));
    }
    window->move(left, top);
}

void placeDialog(QWidget* dialog, const shell::AppState& state, const QWidget* over) {
    if (!over && dialog->parentWidget()) over = dialog->parentWidget()->window();
    if (over && over->isVisible()) {
        centreOn(dialog, over->frameGeometry());
        return;
    }
    centreOn(dialog, QRect(QPoint(state.NW_LEFT, state.NW_TOP), QPoint(state.NW_RIGHT - 1, state.NW_BOTTOM - 1)));
}

}  // namespace klango::gui

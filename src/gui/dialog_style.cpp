#include "gui/dialog_style.h"

#include <QPalette>
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

void placeDialog(QWidget* dialog, const shell::AppState& state) {
    const QSize size = dialog->frameGeometry().size().isValid() ? dialog->frameGeometry().size() : dialog->size();
    std::array<int, 8> rect{0, 0, size.height(), size.width(), 0, 0, 0, 0};
    shell::RX_CENTERDIALOG(rect, state);
    dialog->move(rect[5], rect[4]);
}

}  // namespace klango::gui

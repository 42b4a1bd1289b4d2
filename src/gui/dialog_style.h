// What every dialog of the program shares: the application fonts OFONT and OFONTB as Qt fonts,
// the colours of colour strings and numbers, and the placement of a dialog centred on the main
// window's start rectangle (RX_CENTERDIALOG). Free functions for the views, GUI thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <string_view>

#include "shell/app_state.h"
#include "ui/color_string.h"

namespace klango::gui {

// "Ms Sans Serif" is not on Linux; the nearest sans-serif face stands in at the same size.
QFont dialogFont(const shell::FontDescription& font);

QColor toQColor(const ui::Rgb& rgb);
// Foreground and background of a colour string on widget (its palette's text and window roles);
// a string that does not parse leaves black on white.
void applyColorString(QWidget* widget, std::string_view colors);

// Moves dialog (at its current size) to the centre of the start rectangle in state.
void placeDialog(QWidget* dialog, const shell::AppState& state);

}  // namespace klango::gui

// What every dialog of the program shares: the application fonts OFONT and OFONTB as Qt fonts,
// the colours of colour strings and numbers, and the placement of a dialog centred on the main
// window where it is now (RX_CENTERDIALOG), on the screen. Free functions for the views, GUI
// thread only.
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

// The room a window manager's frame takes beside a window before it is known (title bar and
// thin borders, as most draw them).
inline constexpr int kFrameAllowanceWidth = 8;
inline constexpr int kFrameAllowanceHeight = 32;

// Moves window (made smaller where it does not fit) to the centre of over, then, where it reaches
// beyond, fully onto the available area of over's screen, its frame allowed for.
void centreOn(QWidget* window, const QRect& over);

// Moves dialog (at its current size) to the centre of the window over, where that window is now:
// by default the window of the dialog's parent; without a shown one, the start rectangle in
// state. The dialog lies fully on the screen.
void placeDialog(QWidget* dialog, const shell::AppState& state, const QWidget* over = nullptr);

}  // namespace klango::gui

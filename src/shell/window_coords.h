// The main window's rectangle in the settings file: GETCOORDS reads it at start, PUTCOORDS
// stores it on every move and resize (snapping sizes near the usual screen sizes), and the
// small-desktop rule picks a fixed rectangle on screens of at most 640 by 480 pixels.
// Rectangles are top, left, bottom, right in pixels with height = bottom - top and width =
// right - left. Called by the start-up and by the main window's move and resize handlers.
#pragma once

#include "shell/settings.h"

namespace klango::shell {

struct WindowRect {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    int width = 0;   // client area
    int height = 0;  // client area
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The desktop (AWNDSIZE order: top, left, bottom, right).
struct DesktopRect {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

// What the main window reports when it moved or was resized: its outer rectangle and its
// client area.
struct WindowPlacement {
    int top = 0;
    int left = 0;
    int outerHeight = 0;
    int outerWidth = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// The fixed rectangle of a small desktop: 0, 0, 480, 640, client 633 by 454.
inline constexpr WindowRect kSmallDesktopRect{0, 0, 480, 640, 633, 454};

// A desktop counts as small when its bottom is below 481 and its right edge below 641; one that
// is 480 high but 800 wide is not small.
bool isSmallDesktop(const DesktopRect& desktop);

// GETCOORDS: the six stored values (defaults 0, 0, 480, 640, 633, 454).
bool GETCOORDS(const Settings& settings, int& nTop, int& nLeft, int& nBottom, int& nRight, int& nWidth,
               int& nHeight);
WindowRect GETCOORDS(const Settings& settings);

// The rectangle the main window opens at: the small-desktop rectangle, else the stored one.
WindowRect startRectangle(const DesktopRect& desktop, const Settings& settings);

// The heights and widths that snap to a screen size (480..489 -> 480, 601..609 -> 600, ...).
int snapHeight(int h);
int snapWidth(int w);

// The rectangle PUTCOORDS stores for a placement: top and left below 0 become 0 (the bottom and
// right edges stay where they are), then height and width are snapped.
WindowRect storedRectangle(const WindowPlacement& placement);

// PUTCOORDS: writes 0_Top, 0_Left, 0_Bottom, 0_Right, 0_Width, 0_Height as plain digits.
// A settings file that cannot be written keeps the old rectangle; nothing is reported.
void PUTCOORDS(const Settings& settings, const WindowPlacement& placement);

}  // namespace klango::shell

// The main window's rectangle in the settings file: GETCOORDS reads it at start, PUTCOORDS
// stores it on every move and resize (snapping sizes near the usual screen sizes), and the
// small-desktop rule picks a fixed rectangle on screens of at most 640 by 480 pixels.
// Rectangles are top, left, bottom, right in pixels. Top and left place the window's frame;
// bottom - top and right - left are the window's own size without the frame the window manager
// draws around it, so that a window opened at a stored rectangle has the size it was closed at
// whatever frame it gets. Called by the start-up and by the main window's move and resize
// handlers.
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

// What the main window reports when it moved or was resized: the top left corner of its frame,
// its own size (menu and message bar included, the frame left out) and its client area.
struct WindowPlacement {
    int top = 0;
    int left = 0;
    int windowHeight = 0;
    int windowWidth = 0;
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

// Does the settings file hold a rectangle (0_Bottom and 0_Right)?
bool hasStoredRectangle(const Settings& settings);

// r moved (and where it is larger, made smaller) so that it lies on the desktop.
WindowRect fitOnDesktop(WindowRect r, const DesktopRect& desktop);

// The size the main window wants at its first start, and the room its frame takes beside it.
struct FirstSize {
    int width = 640;
    int height = 480;
    int frameWidth = 0;
    int frameHeight = 0;
};

// The rectangle of the first start: the wanted size centred on the desktop, made smaller where
// window and frame would not fit.
WindowRect firstStartRectangle(const DesktopRect& desktop, const FirstSize& first);

// The rectangle the main window opens at: the small-desktop rectangle; else the stored one,
// fitted on the desktop; else, with nothing stored, the first start's.
WindowRect startRectangle(const DesktopRect& desktop, const Settings& settings, const FirstSize& first = {});

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

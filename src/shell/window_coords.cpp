#include "shell/window_coords.h"

#include <algorithm>

namespace klango::shell {

bool isSmallDesktop(const DesktopRect& desktop) { return desktop.bottom < 481 && desktop.right < 641; }

bool GETCOORDS(const Settings& settings, int& nTop, int& nLeft, int& nBottom, int& nRight, int& nWidth,
               int& nHeight) {
    nTop = static_cast<int>(settings.number(keys::kTop));
    nLeft = static_cast<int>(settings.number(keys::kLeft));
    nBottom = static_cast<int>(settings.number(keys::kBottom));
    nRight = static_cast<int>(settings.number(keys::kRight));
    nWidth = static_cast<int>(settings.number(keys::kWidth));
    nHeight = static_cast<int>(settings.number(keys::kHeight));
    return true;
}

WindowRect GETCOORDS(const Settings& settings) {
    WindowRect r;
    GETCOORDS(settings, r.top, r.left, r.bottom, r.right, r.width, r.height);
    return r;
}

bool hasStoredRectangle(const Settings& settings) { return settings.has(keys::kBottom) && settings.has(keys::kRight); }

WindowRect fitOnDesktop(WindowRect r, const DesktopRect& desktop) {
    const auto fit = [](int& low, int& high, int deskLow, int deskHigh) {
        const int room = std::max(1, deskHigh - deskLow);
        const int size = std::clamp(high - low, 1, room);
        low = std::clamp(low, deskLow, deskHigh - size);
        high = low + size;
    };
    fit(r.top, r.bottom, desktop.top, desktop.bottom);
    fit(r.left, r.right, desktop.left, desktop.right);
    r.width = std::min(r.width, r.right - r.left);
    r.height = std::min(r.height, r.bottom - r.top);
    return r;
}

WindowRect firstStartRectangle(const DesktopRect& desktop, const FirstSize& first) {
    const int roomWidth = std::max(1, desktop.right - desktop.left - first.frameWidth);
    const int roomHeight = std::max(1, desktop.bottom - desktop.top - first.frameHeight);
    const int width = std::clamp(first.width, 1, roomWidth);
    const int height = std::clamp(first.height, 1, roomHeight);
    WindowRect r;
    r.left = desktop.left + (desktop.right - desktop.left - width - first.frameWidth) / 2;
    r.top = desktop.top + (desktop.bottom - desktop.top - height - first.frameHeight) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
    r.width = width;
    r.height = height;
    return r;
}

WindowRect startRectangle(const DesktopRect& desktop, const Settings& settings, const FirstSize& first) {
    if (isSmallDesktop(desktop)) return kSmallDesktopRect;
    if (!hasStoredRectangle(settings)) return firstStartRectangle(desktop, first);
    return fitOnDesktop(GETCOORDS(settings), desktop);
}

int snapHeight(int h) {
    if (h >= 480 && h <= 489) return 480;
    if (h >= 601 && h <= 609) return 600;
    if (h >= 769 && h <= 774) return 768;
    if (h >= 1025 && h <= 1029) return 1024;
    return h;
}

int snapWidth(int w) {
    if (w >= 640 && w <= 649) return 640;
    if (w >= 801 && w <= 809) return 800;
    if (w >= 1025 && w <= 1029) return 1024;
    if (w >= 1281 && w <= 1289) return 1280;
    return w;
}

WindowRect storedRectangle(const WindowPlacement& p) {
    WindowRect r;
    r.top = p.top;
    r.left = p.left;
    const int bottom = p.top + p.windowHeight;
    const int right = p.left + p.windowWidth;
    if (r.top < 0) r.top = 0;
    if (r.left < 0) r.left = 0;
    r.bottom = r.top + snapHeight(bottom - r.top);
    r.right = r.left + snapWidth(right - r.left);
    r.width = p.clientWidth;
    r.height = p.clientHeight;
    return r;
}

void PUTCOORDS(const Settings& settings, const WindowPlacement& placement) {
    const WindowRect r = storedRectangle(placement);
    // Each write keeps the file whole; a refused write leaves the old value, as intended.
    settings.writeNumber(keys::kTop, r.top);
    settings.writeNumber(keys::kLeft, r.left);
    settings.writeNumber(keys::kBottom, r.bottom);
    settings.writeNumber(keys::kRight, r.right);
    settings.writeNumber(keys::kWidth, r.width);
    settings.writeNumber(keys::kHeight, r.height);
}

}  // namespace klango::shell

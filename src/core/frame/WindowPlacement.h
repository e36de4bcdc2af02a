#pragma once

#include <optional>
#include <string>

// The main window's placement as the "WindowPos" setting stores it: ten numbers, flags and
// show state first, then the minimized and maximized positions and the normal rectangle.
struct WindowPlacement {
    static constexpr unsigned kShowNormal = 1;
    static constexpr unsigned kShowMinimized = 2;
    static constexpr unsigned kShowMaximized = 3;
    static constexpr unsigned kShow = 5;
    static constexpr unsigned kRestoreToMaximized = 2;  // a flag

    unsigned flags = 0;
    unsigned showCommand = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    // A first start: 70% of the screen each way, centred.
    static WindowPlacement Default(int screenWidth, int screenHeight);
    // Nothing unless all ten numbers are there.
    static std::optional<WindowPlacement> Parse(const std::string& text);
    std::string Format() const;
    // The placement written at close: a minimized window comes back shown, or maximized when
    // it was minimized from the maximized state.
    WindowPlacement ForSaving(bool minimized) const;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const WindowPlacement&) const = default;
};

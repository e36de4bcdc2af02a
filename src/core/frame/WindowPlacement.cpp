#include "frame/WindowPlacement.h"

#include <cstdio>

WindowPlacement WindowPlacement::Default(int screenWidth, int screenHeight) {
    WindowPlacement p;
    const int width = screenWidth * 7 / 10;
    const int height = screenHeight * 7 / 10;
    p.left = (screenWidth - width) / 2;
    p.top = (screenHeight - height) / 2;
    p.right = p.left + width;
    p.bottom = p.top + height;
    return p;
}

std::optional<WindowPlacement> WindowPlacement::Parse(const std::string& text) {
    WindowPlacement p;
    const int fields =
        std::sscanf(text.c_str(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", &p.flags, &p.showCommand,
                    &p.minX, &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom);
    if (fields < 10) {
        return std::nullopt;
    }
    return p;
}

std::string WindowPlacement::Format() const {
    char text[128];
    std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showCommand, minX,
                  minY, maxX, maxY, left, top, right, bottom);
    return text;
}

WindowPlacement WindowPlacement::ForSaving(bool minimized) const {
    WindowPlacement saved = *this;
    if (minimized) {
        saved.showCommand = kShow;
    }
    if (saved.flags & kRestoreToMaximized) {
        saved.showCommand = kShowMaximized;
    }
    return saved;
}

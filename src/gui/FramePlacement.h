#pragma once

#include <QWidget>

#include "frame/WindowPlacement.h"

// Moves the main window's placement between the window and its stored form.
class FramePlacement {
public:
    static WindowPlacement Capture(const QWidget& window);
    // False, leaving the window alone, when the normal rectangle lies on no screen.
    static bool Apply(QWidget& window, const WindowPlacement& placement);
    // 70% of the primary screen, centred.
    static void ApplyDefault(QWidget& window);
};

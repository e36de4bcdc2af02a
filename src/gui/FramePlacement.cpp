#include "FramePlacement.h"

#include <QGuiApplication>
#include <QScreen>

WindowPlacement FramePlacement::Capture(const QWidget& window) {
    WindowPlacement placement;
    const Qt::WindowStates state = window.windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;
    if (minimized && maximized) {
        placement.flags = WindowPlacement::kRestoreToMaximized;
    }
    placement.showCommand = minimized   ? WindowPlacement::kShowMinimized
                            : maximized ? WindowPlacement::kShowMaximized
                                        : WindowPlacement::kShowNormal;
    const QRect normal = window.normalGeometry().isValid() && (maximized || minimized)
                             ? window.normalGeometry()
                             : window.geometry();
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    return placement.ForSaving(minimized);
}

bool FramePlacement::Apply(QWidget& window, const WindowPlacement& placement) {
    const QRect normal(placement.left, placement.top, placement.Width(), placement.Height());
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->geometry().intersects(normal);
    }
    if (!onScreen || normal.isEmpty()) {
        return false;
    }
    window.setGeometry(normal);
    switch (placement.showCommand) {
        case WindowPlacement::kShowMaximized:
            window.setWindowState(Qt::WindowMaximized);
            break;
        case WindowPlacement::kShowMinimized:
            window.setWindowState(Qt::WindowMinimized);
            break;
        default:
            window.setWindowState(Qt::WindowNoState);
            break;
    }
    return true;
}

void FramePlacement::ApplyDefault(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QSize size = screen->geometry().size();
    const WindowPlacement placement = WindowPlacement::Default(size.width(), size.height());
    window.setGeometry(placement.left, placement.top, placement.Width(), placement.Height());
}

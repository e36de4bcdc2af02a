#pragma once

// Driving windows in GUI tests as a user would.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>

// Runs `act` on the modal dialog that the caller is about to open with exec().
inline void WhenModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(*modal);
        } else {
            WhenModal(act);
        }
    });
}

// Runs `act` on the popup menu or modal dialog the caller is about to open.
inline void WhenShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* shown = QApplication::activePopupWidget();
        if (shown == nullptr) {
            shown = QApplication::activeModalWidget();
        }
        QVERIFY(shown != nullptr);
        act(shown);
    });
}

inline void ShowActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Tab from the focused widget; the widget that has the focus then.
inline QWidget* PressTab() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
}

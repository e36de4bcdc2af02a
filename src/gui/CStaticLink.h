#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

#include "services.h"

// A label that opens an address through the shell when clicked, or with Enter or Space
// when it has the focus. Underlined, in colorUnvisited until an open succeeds and in
// colorVisited after; a failed open beeps and changes nothing.
class CStaticLink : public QLabel {
    Q_OBJECT

public:
    CStaticLink(Shell& shell, std::function<void()> beep, QWidget* parent = nullptr);

    // What a click does.
    void OpenLink();
    // `link`, or the label's own text when `link` is empty.
    QString Target() const;
    QColor CurrentColor() const { return visited ? colorVisited : colorUnvisited; }

    QColor colorUnvisited{0, 0, 255};
    QColor colorVisited{128, 0, 128};
    bool visited = false;
    QString link;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplyColor();

    Shell& shell_;
    std::function<void()> beep_;
};

#include "CStaticLink.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <utility>

CStaticLink::CStaticLink(Shell& shell, std::function<void()> beep, QWidget* parent)
    : QLabel(parent), shell_(shell), beep_(std::move(beep)) {
    // Plain text: an address is never markup, and the label's text may be the target.
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    ApplyColor();
}

QString CStaticLink::Target() const {
    return link.isEmpty() ? text() : link;
}

void CStaticLink::OpenLink() {
    if (shell_.Open(Target().toStdString())) {
        visited = true;
        ApplyColor();
    } else if (beep_) {
        beep_();
    }
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        OpenLink();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CStaticLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            // Taken here, so Enter opens the link rather than pressing the default button.
            event->accept();
            OpenLink();
            return;
        default:
            QLabel::keyPressEvent(event);
    }
}

void CStaticLink::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        // A label draws no focus of its own; keyboard users need to see where Tab went.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        QPainter painter(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CStaticLink::showEvent(QShowEvent* event) {
    // The colour members may have been set since construction.
    ApplyColor();
    QLabel::showEvent(event);
}

void CStaticLink::ApplyColor() {
    QPalette colored = palette();
    colored.setColor(QPalette::WindowText, CurrentColor());
    setPalette(colored);
    update();
}

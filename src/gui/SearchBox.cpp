#include "SearchBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include "CatalogModel.h"
#include "browse/CatalogView.h"

SearchBox::SearchBox(CatalogModel& model, QWidget* parent)
    : QLineEdit(parent), model_(model), input_(model.view()) {
    setObjectName(QStringLiteral("searchBox"));
    setPlaceholderText(QStringLiteral("Search"));
    setClearButtonEnabled(true);
    setMaximumWidth(260);
    connect(this, &QLineEdit::textChanged, this, &SearchBox::Apply);
    connect(&model_, &QAbstractItemModel::modelReset, this, &SearchBox::FollowView);
}

void SearchBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (modifiers == Qt::NoModifier && (enter || event->key() == Qt::Key_Down)) {
        emit enter ? PlayRequested() : ListRequested();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SearchBox::Apply(const QString& text) {
    input_.Apply(text.toStdString());
}

void SearchBox::FollowView() {
    if (input_.SearchEndedByView()) {
        const QSignalBlocker quiet(this);
        clear();
    }
}

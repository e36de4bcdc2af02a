#include "SearchBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include "CatalogModel.h"
#include "browse/CatalogView.h"

SearchBox::SearchBox(CatalogModel& model, QWidget* parent) : QLineEdit(parent), model_(model) {
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
    CatalogView& view = model_.view();
    const std::string typed = text.toStdString();
    SearchQuery query(typed);
    if (query.empty()) {
        inForce_.reset();
        view.EndSearch();
        return;
    }
    // A query that only grew keeps no row the last one hid: the rows shown are enough.
    const bool within = inForce_ && view.searching() && query.Narrows(*inForce_);
    inForce_ = query;
    const SearchHint hint = RowLetterIndex::HintFor(query);
    view.Search(
        [query = std::move(query)](const CatalogRow& row) {
            thread_local SearchQuery::Scratch scratch;
            return query.Matches(row, scratch);
        },
        within, typed, hint);
}

void SearchBox::FollowView() {
    if (!model_.view().searching() && inForce_) {
        inForce_.reset();
        const QSignalBlocker quiet(this);
        clear();
    }
}

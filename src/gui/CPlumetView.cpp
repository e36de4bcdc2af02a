#include "CPlumetView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "CatalogModel.h"
#include "CellToolTipDelegate.h"
#include "HeaderColumns.h"

CPlumetView::CPlumetView(CatalogModel& model, QWidget* parent) : QTableView(parent), model_(model) {
    setModel(&model_);
    setItemDelegate(new CellToolTipDelegate(this));
    headerColumns_ = new HeaderColumns(*horizontalHeader());
    ApplyLook();
    CreateEmptyHint();
}

const QString& CPlumetView::EmptyHintText() {
    static const QString kText = QStringLiteral(
        "Scan a folder (Tools > Select Search Location) or a disc (Tools > Load from CD), or "
        "open a catalog.");
    return kText;
}

void CPlumetView::CreateEmptyHint() {
    emptyHint_ = new QLabel(EmptyHintText(), viewport());
    emptyHint_->setObjectName(QStringLiteral("emptyHint"));
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setWordWrap(true);
    // Clicks and the context menu still reach the list under it.
    emptyHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(viewport());
    layout->addWidget(emptyHint_);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, &CPlumetView::UpdateEmptyHint);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, &CPlumetView::UpdateEmptyHint);
    connect(&model_, &QAbstractItemModel::modelReset, this, &CPlumetView::UpdateEmptyHint);
    connect(&model_, &QAbstractItemModel::layoutChanged, this, &CPlumetView::UpdateEmptyHint);
    UpdateEmptyHint();
}

void CPlumetView::UpdateEmptyHint() {
    // How to start is for an empty catalog, not for a view that shows none of its rows.
    emptyHint_->setVisible(model_.view().store().RowCount() == 0);
}

void CPlumetView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier && state() != EditingState &&
        selectionModel()->hasSelection()) {
        emit PlayRequested();
        event->accept();
        return;
    }
    const bool menuKey = event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        emit customContextMenuRequested(CurrentRowPosition());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QPoint CPlumetView::CurrentRowPosition() const {
    const QModelIndex current = currentIndex();
    const QRect cell = current.isValid() ? visualRect(current) : QRect();
    if (!cell.isValid() || !viewport()->rect().intersects(cell)) {
        return QPoint(0, 0);
    }
    return cell.center();
}

void CPlumetView::ApplyLook() {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setCornerButtonEnabled(false);

    const QColor background(kBackgroundRed, kBackgroundGreen, kBackgroundBlue);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::AlternateBase, background);
    colours.setColor(QPalette::Window, background);
    setPalette(colours);

    QFont listFont(QStringLiteral("Verdana"), 9);
    listFont.setStyleHint(QFont::SansSerif);
    setFont(listFont);

    // Rows never size to their contents: a fixed height keeps a million rows instant.
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->hide();

    QHeaderView* columns = horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    headerColumns_->ApplyDefault();
}

std::vector<int> CPlumetView::SelectedRows() const {
    // Ranges, not indexes: selecting a million rows must not build a million indexes.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

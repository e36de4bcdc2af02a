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
#include "frame/ColourContrast.h"

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
    // Rows that came or went while the list has the keyboard leave it a row to act on.
    const auto keepCurrent = [this] {
        if (hasFocus()) {
            EnsureCurrentRow();
        }
    };
    connect(&model_, &QAbstractItemModel::rowsInserted, this, keepCurrent);
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, keepCurrent);
    connect(&model_, &QAbstractItemModel::modelReset, this, keepCurrent);
    UpdateEmptyHint();
}

void CPlumetView::UpdateEmptyHint() {
    // How to start is for an empty catalog, not for a view that shows none of its rows.
    emptyHint_->setVisible(model_.view().store().RowCount() == 0);
}

void CPlumetView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier && state() != EditingState) {
        PlayCurrent();
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

void CPlumetView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    EnsureCurrentRow();
}

bool CPlumetView::EnsureCurrentRow() {
    if (model_.rowCount() == 0) {
        return false;
    }
    if (!currentIndex().isValid()) {
        // Current only: what is selected, and so which commands apply, stays as it was.
        const QModelIndex first = model_.index(0, std::max(0, horizontalHeader()->logicalIndex(0)));
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    }
    return true;
}

void CPlumetView::FocusFirstRow() {
    if (model_.rowCount() == 0) {
        return;
    }
    const int column = std::max(0, horizontalHeader()->logicalIndex(0));
    selectionModel()->setCurrentIndex(
        model_.index(0, column), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(currentIndex());
    setFocus(Qt::OtherFocusReason);
}

void CPlumetView::PlayCurrent() {
    if (!EnsureCurrentRow()) {
        return;
    }
    if (!selectionModel()->hasSelection()) {
        selectionModel()->select(currentIndex(),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    emit PlayRequested();
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
    setTextElideMode(Qt::ElideRight);  // folders and paths: in the middle, by the delegate
    setCornerButtonEnabled(false);

    // The list's own light background, unless the desktop's text would not read on it (a
    // dark theme): then the desktop's own colours.
    const QColor background(kBackgroundRed, kBackgroundGreen, kBackgroundBlue);
    QPalette colours = palette();
    const QColor text = colours.color(QPalette::Text);
    if (ColourContrast::Ratio({text.red(), text.green(), text.blue()},
                              {background.red(), background.green(), background.blue()}) >=
        ColourContrast::kReadable) {
        colours.setColor(QPalette::Base, background);
        colours.setColor(QPalette::AlternateBase, background);
        colours.setColor(QPalette::Window, background);
        setPalette(colours);
    }
    model_.SetColours(colours.color(QPalette::Base), text, colours.color(QPalette::Highlight));

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

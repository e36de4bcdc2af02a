#include "CPlumetView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

#include "CatalogModel.h"
#include "CellToolTipDelegate.h"
#include "HeaderColumns.h"

CPlumetView::CPlumetView(CatalogModel& model, QWidget* parent) : QTableView(parent), model_(model) {
    setModel(&model_);
    setItemDelegate(new CellToolTipDelegate(this));
    headerColumns_ = new HeaderColumns(*horizontalHeader());
    ApplyLook();
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
